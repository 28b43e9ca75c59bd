# Fails when any C++ source differs from what clang-format makes of it.
file(GLOB_RECURSE sources
     ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/client/*.cpp ${ROOT}/client/*.h
     ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h
     ${ROOT}/fuzz/*.cpp ${ROOT}/fuzz/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: run ./run format\n${errors}")
endif()
