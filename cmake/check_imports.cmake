# Fails unless PROGRAM imports by name only libraries that Windows always
# takes from its system folder (its known libraries, on every version from
# Windows 7 on). Anything else is looked for in the program's folder first,
# before any of its code runs. comdlg32 is known, but it brings the common
# controls and the theme library in with it, which are not; the common
# controls come through the manifest's assembly only when loaded at run time.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
set(known advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "no import table found in ${PROGRAM}")
endif()
set(unknown)
foreach(entry ${imports})
    string(REGEX REPLACE "DLL Name: *" "" name "${entry}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST known)
        list(APPEND unknown ${name})
    endif()
endforeach()
if(unknown)
    message(FATAL_ERROR "${PROGRAM} imports libraries Windows may take from the program's folder: ${unknown}")
endif()
list(LENGTH imports count)
message(STATUS "${PROGRAM}: ${count} imported libraries, all known")
