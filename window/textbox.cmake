target_sources(prismel_window PRIVATE longtextedit.h longtextedit.cpp)
