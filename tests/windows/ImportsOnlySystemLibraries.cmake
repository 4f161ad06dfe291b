# tala.exe imports only the loader's known DLLs: any other library is looked
# for first in the executable's folder, where someone may have planted a copy.
cmake_policy(SET CMP0057 NEW)
set(knownLibraries advapi32 combase comdlg32 gdi32 imm32 kernel32 msvcrt ntdll ole32 oleaut32 rpcrt4
    shell32 shlwapi user32 ws2_32)

execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT result EQUAL 0 OR NOT imports)
    message(FATAL_ERROR "no import table read from ${EXECUTABLE}")
endif()

set(others "")
foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: (.+)\\.[dD][lL][lL]$" "\\1" library "${import}")
    string(TOLOWER "${library}" library)
    if(NOT library IN_LIST knownLibraries)
        list(APPEND others "${library}")
    endif()
endforeach()
if(others)
    message(FATAL_ERROR "${EXECUTABLE} imports libraries the loader may take from its folder: ${others}")
endif()
