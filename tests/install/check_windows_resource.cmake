# Compiles the Windows resource with MinGW's windres the way CMake's MinGW rule does (no code page
# on the command line, so the pragma in the file must do it), then decompiles it and checks each
# field. Arguments: WINDRES, RC, OUT.
execute_process(COMMAND ${WINDRES} --preprocessor=cpp -O coff -i ${RC} -o ${OUT}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres failed: ${errors}")
endif()

# The description must be real UTF-16 in the object, not UTF-8 bytes widened one by one.
file(READ ${OUT} compiled HEX)
set(description_utf16le
    "004e2a4e695f7986575b8476e55d7751210028758e4e517fdc7e8765e07a0a4e2100")
string(FIND "${compiled}" "${description_utf16le}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the Chinese file description is not in the resource as UTF-16")
endif()

execute_process(COMMAND ${WINDRES} -i ${OUT} -O rc
                OUTPUT_VARIABLE decompiled RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres could not read the compiled resource back: ${errors}")
endif()

# windres writes non-ASCII text back as \x escapes of UTF-16 units.
set(description_escaped
    "\\x4e00\\x4e2a\\x5f69\\x8679\\x5b57\\x7684\\x5de5\\x5177!\\x7528\\x4e8e\\x7f51\\x7edc\\x6587\\x7ae0\\x4e0a!")
foreach(line
        "LANGUAGE 4, 2"
        "FILEVERSION 2, 0, 0, 0"
        "PRODUCTVERSION 2, 0, 0, 0"
        "BLOCK \"080404B0\""
        "VALUE \"FileVersion\", \"2.00\""
        "VALUE \"ProductVersion\", \"2.00\""
        "VALUE \"FileDescription\", L\"${description_escaped}\""
        "VALUE \"InternalName\", \"Prismel\""
        "VALUE \"OriginalFilename\", \"Prismel.exe\""
        "VALUE \"ProductName\", \"Prismel\""
        "VALUE \"Translation\", 0x804, 1200"
        "/* RT_GROUP_ICON */"
        "/* Has 4 elements.  */")
    string(FIND "${decompiled}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the compiled resource lacks: ${line}\n${decompiled}")
    endif()
endforeach()
