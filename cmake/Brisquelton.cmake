# Project helpers: folder libraries, Wine-run test executables and the third-party prefix.

# The folders are layers, lowest first; a folder uses only the layers below it, never one
# above or beside it (scripts/check-layers.py, run with the tests, holds the sources to it).
set(BRISQUELTON_LAYERS "core" "system" "images,engine,framework" "drawers" "widgets" "app")

# One static library per top-level folder, from whatever sources the folder holds
# (subfolders included), linked to the libraries of the layers below it that it uses;
# folders without sources yet make no library. Libraries are made lowest layer first.
function(brisquelton_library name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/${name}/*.cpp ${CMAKE_SOURCE_DIR}/${name}/*.c)
  # The FFmpeg binding and the adapted tools compile only against the third-party headers.
  # The program's entry belongs to the program alone (app/CMakeLists.txt).
  list(FILTER srcs EXCLUDE REGEX "/app/program/")
  if(NOT TARGET thirdparty_ffmpeg_headers)
    list(FILTER srcs EXCLUDE REGEX "/engine/(ffmpeg|fftools)/")
  endif()
  if(NOT srcs)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(dep ${BRISQUELTON_DEPS_${name}})
    if(TARGET delayed_${dep})
      set(dep delayed_${dep})
    endif()
    if(TARGET ${dep} OR NOT dep MATCHES "^(core|system|engine|widgets|drawers|images|framework|app|thirdparty_.*)$")
      target_link_libraries(${name} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

# Which project libraries (of lower layers only) and system libraries each folder needs.
set(BRISQUELTON_DEPS_core kernel32 user32)
set(BRISQUELTON_DEPS_system core gdi32 user32 advapi32 shell32 shlwapi ole32 oleaut32 uuid wininet urlmon psapi)
set(BRISQUELTON_DEPS_images system core thirdparty_png thirdparty_jpeg gdi32 user32 comdlg32)
set(BRISQUELTON_DEPS_engine system core thirdparty_ffmpeg_headers)
set(BRISQUELTON_DEPS_framework system core user32 gdi32 comctl32 comdlg32 ole32)
set(BRISQUELTON_DEPS_drawers framework images system core gdi32 msimg32)
set(BRISQUELTON_DEPS_widgets drawers framework images system core user32 gdi32 comctl32 comdlg32 uxtheme ole32)
set(BRISQUELTON_DEPS_app widgets drawers framework images engine system core)

# The system DLLs that no first frame uses (file dialogs, the shell, downloads) are bound
# when one of their functions is first called, not at every start: each is linked through a
# delay-load import library made here from the toolchain's own import library, which takes
# the plain one's place in the lists above. MinGW's runtime holds the delay-load helper.
set(BRISQUELTON_DELAYED_DLLS comdlg32 shell32 shlwapi urlmon wininet)
function(brisquelton_delay_load)
  find_program(BRISQUELTON_DLLTOOL NAMES x86_64-w64-mingw32-dlltool)
  if(NOT BRISQUELTON_DLLTOOL OR NOT CMAKE_NM)
    message(WARNING "No dlltool or nm: the system DLLs are bound at start")
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/delayload)
  file(MAKE_DIRECTORY ${dir})
  foreach(dll ${BRISQUELTON_DELAYED_DLLS})
    find_library(BRISQUELTON_PLAIN_${dll} NAMES lib${dll}.a)
    set(plain ${BRISQUELTON_PLAIN_${dll}})
    set(delayed ${dir}/lib${dll}-delayed.a)
    if(NOT plain)
      continue()
    endif()
    if(NOT EXISTS ${delayed} OR ${plain} IS_NEWER_THAN ${delayed} OR ${CMAKE_CURRENT_FUNCTION_LIST_FILE} IS_NEWER_THAN ${delayed})
      execute_process(COMMAND ${CMAKE_NM} -g ${plain} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "${CMAKE_NM} failed on ${plain}")
      endif()
      # Functions only: a data export (an __imp_ symbol without code) cannot be delayed.
      string(REGEX MATCHALL " T [^\n]+" code "${symbols}")
      set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
      foreach(entry ${code})
        string(SUBSTRING "${entry}" 3 -1 function)
        string(FIND "${symbols}" " I __imp_${function}\n" at)
        if(NOT at EQUAL -1)
          string(APPEND def "  ${function}\n")
        endif()
      endforeach()
      file(WRITE ${dir}/${dll}.def "${def}")
      execute_process(COMMAND ${BRISQUELTON_DLLTOOL} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
                              --output-delaylib ${delayed} RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "dlltool could not make the delay-load library of ${dll}")
      endif()
    endif()
    add_library(delayed_${dll} STATIC IMPORTED GLOBAL)
    set_target_properties(delayed_${dll} PROPERTIES IMPORTED_LOCATION ${delayed})
  endforeach()
endfunction()

# A shipped executable leaves the build stripped, its symbols in <name>.exe.debug beside
# it (debuggers find them through the debug link). Under Wine the debug sections of an
# unstripped image are read into memory at every start.
function(brisquelton_strip target)
  if(NOT CMAKE_OBJCOPY)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# A GoogleTest executable from every source in tests/<area>, run under Wine as one CTest test
# labelled with the area (one Wine start per binary keeps runs short).
function(brisquelton_test area)
  cmake_parse_arguments(T "WINDOWS" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  set(libs)
  foreach(lib ${T_LIBS})
    if(TARGET ${lib})
      list(APPEND libs ${lib})
    endif()
  endforeach()
  # Every test program fails a test whose input had to be made again twice.
  add_executable(${area}_tests ${srcs} ${CMAKE_CURRENT_SOURCE_DIR}/support/LostInputCheck.cpp
                 $<TARGET_OBJECTS:manifest_res>)
  target_link_libraries(${area}_tests PRIVATE ${libs} GTest::gtest_main)
  target_include_directories(${area}_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${area}_tests COMMAND ${area}_tests --gtest_color=no)
  set(labels ${area})
  if(T_WINDOWS)
    list(APPEND labels windows)
  endif()
  set_tests_properties(${area}_tests PROPERTIES LABELS "${labels}" TIMEOUT 900)
endfunction()

# Copies the FFmpeg DLLs into a folder, each with an image base of its own and page-aligned
# sections (scripts/place-dlls.py says why); only when a copy is missing or older than its
# source or the script. Without python3 they are copied as they are.
function(brisquelton_place_dlls dest)
  find_package(Python3 COMPONENTS Interpreter QUIET)
  if(NOT Python3_Interpreter_FOUND)
    file(COPY ${ARGN} DESTINATION ${dest})
    return()
  endif()
  set(script ${CMAKE_SOURCE_DIR}/scripts/place-dlls.py)
  set(stale FALSE)
  foreach(dll ${ARGN})
    get_filename_component(name ${dll} NAME)
    if(NOT EXISTS ${dest}/${name} OR ${dll} IS_NEWER_THAN ${dest}/${name} OR ${script} IS_NEWER_THAN ${dest}/${name})
      set(stale TRUE)
    endif()
  endforeach()
  if(stale)
    # The order fixes the bases: the binding order of the program.
    set(ordered)
    foreach(name avcodec avdevice avfilter avformat avutil swresample swscale)
      foreach(dll ${ARGN})
        if(dll MATCHES "/${name}-[0-9]+\\.dll$")
          list(APPEND ordered ${dll})
        endif()
      endforeach()
    endforeach()
    foreach(dll ${ARGN})
      if(NOT dll IN_LIST ordered)
        list(APPEND ordered ${dll})
      endif()
    endforeach()
    execute_process(COMMAND ${Python3_EXECUTABLE} ${script} ${dest} 180000000 ${ordered} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "scripts/place-dlls.py failed on ${ARGN}")
    endif()
  endif()
endfunction()

# The cross-built prefix made by scripts/thirdparty.sh: imported libraries, and the seven
# FFmpeg DLLs copied beside every executable.
function(brisquelton_thirdparty)
  set(P ${BRISQUELTON_THIRDPARTY})
  if(NOT P OR NOT EXISTS ${P}/include/zlib.h)
    message(WARNING "No third-party prefix (BRISQUELTON_THIRDPARTY); image codecs and FFmpeg tests are left out")
    set(BRISQUELTON_HAVE_THIRDPARTY OFF PARENT_SCOPE)
    return()
  endif()
  set(BRISQUELTON_HAVE_THIRDPARTY ON PARENT_SCOPE)
  foreach(l z png jpeg)
    add_library(thirdparty_${l} STATIC IMPORTED GLOBAL)
    set_target_properties(thirdparty_${l} PROPERTIES
      IMPORTED_LOCATION ${P}/lib/lib${l}.a
      INTERFACE_INCLUDE_DIRECTORIES ${P}/include)
  endforeach()
  set_target_properties(thirdparty_png PROPERTIES INTERFACE_LINK_LIBRARIES thirdparty_z)
  # Headers only: the FFmpeg DLLs are bound at run time, never linked.
  add_library(thirdparty_ffmpeg_headers INTERFACE IMPORTED GLOBAL)
  set_target_properties(thirdparty_ffmpeg_headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${P}/ffmpeg/include)
  file(GLOB dlls ${P}/ffmpeg/bin/*.dll)
  file(MAKE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  brisquelton_place_dlls(${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${dlls})
  # ffmpeg.exe and ffprobe.exe with their own copy of the DLLs, as an installed add-on has them.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/ffmpeg-tools)
  brisquelton_place_dlls(${CMAKE_BINARY_DIR}/ffmpeg-tools ${dlls})
  file(COPY ${P}/ffmpeg/bin/ffmpeg.exe ${P}/ffmpeg/bin/ffprobe.exe DESTINATION ${CMAKE_BINARY_DIR}/ffmpeg-tools)
  set(BRISQUELTON_FFMPEG_TOOLS ${CMAKE_BINARY_DIR}/ffmpeg-tools PARENT_SCOPE)
endfunction()
