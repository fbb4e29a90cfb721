# Fails when a text of the window has no finished English: lupdate reads the window's sources into
# a copy of the .ts, as the prismel_window_lupdate target would, and the copy must hold no
# unfinished text (new, or changed since it was translated), no empty translation and no vanished
# text (gone from the sources, or moved to another class).
# Arguments: LUPDATE, GENERATOR (Qt's GenerateLUpdateProject.cmake), PROJECT (the .cmake file
# that qt6_add_lupdate wrote), TS, WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
get_filename_component(ts_name ${TS} NAME)
file(COPY ${TS} DESTINATION ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -DIN_FILE=${PROJECT} -DOUT_FILE=${WORK}/project.json
                        -P ${GENERATOR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the lupdate project could not be written (${result})")
endif()
execute_process(COMMAND ${LUPDATE} -silent -locations none -project ${WORK}/project.json
                        -ts ${WORK}/${ts_name}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
# The copy is meant to replace the project's .ts; any other warning (a tr() lupdate cannot place
# in a class) is a fault.
string(REGEX REPLACE "lupdate warning: TS files from command line will override[^\n]*\n?" ""
       errors "${errors}")
string(STRIP "${errors}" errors)
if(NOT result EQUAL 0 OR errors)
    message(FATAL_ERROR "lupdate failed (${result}): ${errors}")
endif()

file(READ ${WORK}/${ts_name} ts)
# Unescaped, as a ";" would cut the list of matches.
string(REPLACE "&amp;" "&" ts "${ts}")
string(REGEX MATCHALL
       "<source>[^<]*</source>[ \n]*<translation( type=\"(unfinished|vanished|obsolete)\"|></)"
       stale "${ts}")
if(stale)
    string(REGEX REPLACE "[ \n]*<translation( type=)?" " " stale "${stale}")
    string(REPLACE ";" "\n" stale "${stale}")
    message(FATAL_ERROR "${ts_name} is behind the sources; build prismel_window_lupdate and "
                        "translate:\n${stale}")
endif()
