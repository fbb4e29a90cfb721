# Runs lintian on the package that check_debian_package.cmake made and fails on any error or
# warning. Information and pedantic tags are printed for the log but pass.
# Arguments: LINTIAN, DIR (where the package is).
file(GLOB packages ${DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package in ${DIR}, found ${count}: ${packages}")
endif()
# --no-cfg: a profile or settings file on the build machine must not change the verdict.
execute_process(COMMAND ${LINTIAN} --no-cfg --fail-on error,warning --info --pedantic
                        --display-experimental ${packages}
                RESULT_VARIABLE result OUTPUT_VARIABLE tags ERROR_VARIABLE errors)
message("${tags}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian rejects the package (${result}):\n${tags}${errors}")
endif()
