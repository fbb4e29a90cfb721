target_sources(prismel_window PRIVATE longtextedit.h longtextedit.cpp)
target_sources(prismel_window PRIVATE textfile.h textfile.cpp)
