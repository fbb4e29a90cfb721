# Compiles the Windows resource with MinGW's windres and checks that the version strings made it
# into the compiled resource as UTF-16.
execute_process(COMMAND ${WINDRES} --preprocessor=cpp -c 65001 -O coff ${RC} -o ${OUT}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres failed: ${errors}")
endif()
file(READ ${OUT} compiled HEX)

function(expect_utf16 text)
    # Every string here is ASCII or in the Basic Multilingual Plane, one UTF-16 unit per code
    # point; CMake's hex dump of the UTF-8 text gives the code points back through a round trip.
    file(WRITE ${OUT}.txt "${text}")
    execute_process(COMMAND iconv -f UTF-8 -t UTF-16LE ${OUT}.txt -o ${OUT}.u16
                    RESULT_VARIABLE converted)
    if(NOT converted EQUAL 0)
        message(FATAL_ERROR "iconv failed")
    endif()
    file(READ ${OUT}.u16 wanted HEX)
    string(FIND "${compiled}" "${wanted}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "not in the resource: ${text}")
    endif()
endfunction()

foreach(text "080404B0" "2.00" "Prismel" "Prismel.exe" "一个彩虹字的工具!用于网络文章上!")
    expect_utf16("${text}")
endforeach()
