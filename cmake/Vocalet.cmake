# Build settings and helpers shared by every folder.

add_compile_options(-Wall -Wextra -Werror)
set(VOCALET_OPT_FLAGS "-O2" CACHE STRING "Optimisation of the Windows tree's Release build")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 at -O3 reports overlapping copies inside std::string's own operator+ and insert
  # (a known false positive of the library's inlined code), which fails optimised builds.
  add_compile_options(-Wno-restrict)
endif()

if(WIN32)
  # The product is optimised unless a development build is asked for (build.sh: VOCALET_DEBUG=1,
  # its own tree build/win32-debug). Every configuration computes with SSE2, not the x87 unit:
  # several times faster for the compression, and the same results as the host build's.
  # Vocalet therefore needs a processor with SSE2, as every Windows since 8 does.
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Release (the product) or Debug (development)" FORCE)
  endif()
  add_compile_options(-msse2 -mfpmath=sse)
  # Full debug information in every configuration; the shipped binaries lose it at link time
  # to a .debug file beside them (vocalet_split_debug). NDEBUG stays undefined: a failed
  # check means the same in every build.
  set(CMAKE_C_FLAGS_RELEASE "${VOCALET_OPT_FLAGS} -g")
  set(CMAKE_CXX_FLAGS_RELEASE "${VOCALET_OPT_FLAGS} -g")
  # Only what is reachable from the entry points is linked in.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
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
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 optimising for i686 takes an insert into a freshly grown std::vector<uint8_t> (the
    # test waves' chunk ids) for an overflow of the new block: a false positive, as above.
    target_compile_options(${name} PRIVATE -Wno-stringop-overflow)
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

# vocalet_scripted_mic(<target> <dir> <text> [REPEAT n])
# A scripted microphone for tests under Wine: a HOME folder whose .asoundrc makes ALSA's
# default capture device read raw speech (16-bit mono 22050 Hz, <dir>/in.raw, spoken by
# espeak-ng) and its playback device discard everything. Wine's sound driver reads it;
# WINEPREFIX stays where build.sh put it. <target> makes the speech.
function(vocalet_scripted_mic target dir text)
  cmake_parse_arguments(M "" "REPEAT" "" ${ARGN})
  if(NOT M_REPEAT)
    set(M_REPEAT 0)
  endif()
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/.asoundrc
"pcm.!default { type asym playback.pcm \"outnull\" capture.pcm \"cap\" }
pcm.outnull { type null }
pcm.nullcap { type null }
pcm.capraw { type file slave.pcm \"nullcap\" file \"/dev/null\" infile \"${dir}/in.raw\" format \"raw\" }
pcm.cap { type plug slave { pcm \"capraw\" format S16_LE rate 22050 channels 1 } }
")
  find_program(ESPEAK espeak-ng REQUIRED)
  find_program(SOX sox REQUIRED)
  add_custom_command(OUTPUT ${dir}/in.raw
    COMMAND ${ESPEAK} -w ${dir}/speech.wav "${text}"
    COMMAND ${SOX} ${dir}/speech.wav -r 22050 -c 1 -b 16 -e signed -t raw ${dir}/in.raw
            repeat ${M_REPEAT}
    COMMENT "Speech for the scripted microphone in ${dir}")
  add_custom_target(${target} DEPENDS ${dir}/in.raw)
endfunction()

# vocalet_split_debug(<targets...>)
# The binaries the setup installs (and the product's console tools): linked with their debug
# information, which then moves to <binary>.debug beside them for crash analysis; the binary
# itself is stripped and names its .debug file (gnu-debuglink, which gdb follows).
# A development (Debug) build keeps its debug information in its binaries.
function(vocalet_split_debug)
  if(NOT WIN32 OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    return()
  endif()
  foreach(t IN LISTS ARGN)
    if(TARGET ${t})
      set_property(TARGET ${t} PROPERTY RULE_LAUNCH_LINK
        "${CMAKE_SOURCE_DIR}/cmake/split-debug.sh ${CMAKE_OBJCOPY}")
    endif()
  endforeach()
endfunction()
