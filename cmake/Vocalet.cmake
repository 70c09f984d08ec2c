# Build settings and helpers shared by every folder.

add_compile_options(-Wall -Wextra -Werror)

if(WIN32)
  # The product: static, so that the executables need no mingw DLLs beside them.
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX
                          WIN32_LEAN_AND_MEAN)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources do not pass our warnings-as-errors.
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -Wno-error)
  endforeach()
  set(VOCALET_GTEST gtest gmock)
  set(VOCALET_GTEST_MAIN gtest_main)
else()
  if(VOCALET_FUZZ)
    add_compile_options(-g -O1 -fsanitize=fuzzer-no-link,address,undefined)
    add_link_options(-fsanitize=address,undefined)
  elseif(VOCALET_SANITIZE AND NOT VOCALET_BENCH)
    add_compile_options(-g -fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  find_package(GTest REQUIRED)
  set(VOCALET_GTEST GTest::gtest GTest::gmock)
  set(VOCALET_GTEST_MAIN GTest::gtest_main)
endif()

# vocalet_test(<name> SOURCES <files...> [LIBS <libs...>] [MAIN] [ENV <VAR=value...>])
# A GoogleTest executable run by ctest: natively in the host tree, through Wine in the
# Windows tree. MAIN: the test brings its own main().
function(vocalet_test name)
  cmake_parse_arguments(T "MAIN" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  if(T_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${VOCALET_GTEST})
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${VOCALET_GTEST_MAIN} ${VOCALET_GTEST})
  endif()
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "VOCALET_SOURCE_DIR=${CMAKE_SOURCE_DIR};VOCALET_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${T_ENV}")
endfunction()

# vocalet_fuzzer(<name> SOURCES <files...> [LIBS <libs...>])
# A libFuzzer target, built only in the fuzz tree (clang). Its seeds live in fuzz/corpus/<name>.
function(vocalet_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(VOCALET_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
