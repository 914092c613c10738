# Compiles the program's, the updater's and the tools' sources for Windows with -fsyntax-only,
# so that the Q_OS_WIN branches are checked on every submission. Nothing is linked: no Qt
# libraries for Windows are at hand, only Qt's headers, which define Q_OS_WIN for this
# compiler. Usage, after a build in BUILD_DIR (it needs the build's generated headers):
#   cmake -DBUILD_DIR=build/test -P scripts/windows-check.cmake
# Each unit is compiled as in BUILD_DIR's compile_commands.json, with Debian's MinGW-w64
# compiler and warnings as errors; ninja runs the units in parallel and again only when a
# unit or a header it includes changed.
cmake_minimum_required(VERSION 3.25)

set(COMPILER x86_64-w64-mingw32-g++-posix)
# What Qt's own MinGW builds define for every unit.
set(WINDOWS_DEFINITIONS "-DUNICODE -D_UNICODE -DWIN32 -DMINGW_HAS_SECURE_API=1")

if(NOT BUILD_DIR)
  message(FATAL_ERROR "usage: cmake -DBUILD_DIR=<build folder> -P scripts/windows-check.cmake")
endif()
get_filename_component(BUILD_DIR "${BUILD_DIR}" ABSOLUTE)
find_program(COMPILER_PATH ${COMPILER})
if(NOT COMPILER_PATH)
  message(FATAL_ERROR "${COMPILER} is missing (Debian package g++-mingw-w64-x86-64-posix; "
                      "scripts/deps.sh installs it)")
endif()
file(READ "${BUILD_DIR}/compile_commands.json" units)
set(check_dir "${BUILD_DIR}/windows-check")

# OpenSSL's headers without the rest of /usr/include, whose C library headers are Linux's.
file(MAKE_DIRECTORY "${check_dir}/include/openssl")
file(GLOB openssl_headers /usr/include/openssl/*.h /usr/include/*-linux-gnu/openssl/*.h)
foreach(header ${openssl_headers})
  get_filename_component(name "${header}" NAME)
  if(NOT EXISTS "${check_dir}/include/openssl/${name}")
    file(CREATE_LINK "${header}" "${check_dir}/include/openssl/${name}" SYMBOLIC)
  endif()
endforeach()

# zlib's two headers, for the skin's capped inflate, the same way.
foreach(header zlib.h zconf.h)
  file(GLOB found /usr/include/${header} /usr/include/*-linux-gnu/${header})
  if(found AND NOT EXISTS "${check_dir}/include/${header}")
    list(GET found 0 first)
    file(CREATE_LINK "${first}" "${check_dir}/include/${header}" SYMBOLIC)
  endif()
endforeach()

# Turns a Linux compile command into a Windows syntax check writing its header list to depfile.
function(windows_command command depfile stamp out_var)
  # The Linux compiler's name goes; the arguments stay (REGEX REPLACE would match "^" again
  # after each replacement).
  string(FIND "${command}" " " first_blank)
  string(SUBSTRING "${command}" ${first_blank} -1 command)
  # Linux-only options, and the object file: nothing is written.
  string(REGEX REPLACE " -f(no-)?sanitize(-recover)?=[^ ]+" "" command "${command}")
  string(REGEX REPLACE " -fPIC| -fPIE| -Winvalid-pch" "" command "${command}")
  string(REGEX REPLACE " -MD -MT [^ ]+ -MF [^ ]+" "" command "${command}")
  string(REGEX REPLACE " -o [^ ]+" "" command "${command}")
  string(REPLACE " -c " " " command "${command}")
  string(REPLACE "/mkspecs/linux-g++" "/mkspecs/win32-g++" command "${command}")
  set(command "${COMPILER} -fsyntax-only ${WINDOWS_DEFINITIONS} -I${check_dir}/include -MD -MF ${depfile} -MT ${stamp}${command}")
  set(${out_var} "${command}" PARENT_SCOPE)
endfunction()

set(ninja "rule check\n  command = cd $dir && $cmd && touch $out\n  depfile = $out.d\n  deps = gcc\n  description = Windows: $file\n\n")
set(count 0)
string(JSON entries LENGTH "${units}")
math(EXPR last "${entries} - 1")
foreach(i RANGE ${last})
  string(JSON unit GET "${units}" ${i})
  string(JSON command GET "${unit}" command)
  string(JSON directory GET "${unit}" directory)
  string(JSON file GET "${unit}" file)
  # The program's, the updater's and the tools' units; not the tests, the benchmarks or the
  # precompiled headers (the units read those headers themselves).
  if(NOT command MATCHES " -o (src|tools)/[^ ]+\\.o" OR file MATCHES "cmake_pch\\.hxx")
    continue()
  endif()
  string(REGEX MATCH " -o [^ ]+" object "${command}")
  string(REGEX REPLACE "^ -o |\\.o$" "" object "${object}")
  string(REGEX REPLACE "[/.]" "_" stamp_name "${object}")
  set(stamp "${check_dir}/${stamp_name}.stamp")
  windows_command("${command}" "${stamp}.d" "${stamp}" windows)
  string(REPLACE "$" "$$" windows "${windows}")
  file(RELATIVE_PATH shown "${BUILD_DIR}" "${file}")
  string(APPEND ninja "build ${stamp}: check ${file}\n  dir = ${directory}\n  file = ${shown}\n  cmd = ${windows}\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no unit of src/ or tools/ in ${BUILD_DIR}/compile_commands.json")
endif()

file(CONFIGURE OUTPUT "${check_dir}/build.ninja" CONTENT "${ninja}" @ONLY)
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
message(STATUS "Windows check: ${count} units with ${COMPILER}")
execute_process(COMMAND ninja -C "${check_dir}" -j ${jobs} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Windows check failed: a unit does not compile for Windows")
endif()
