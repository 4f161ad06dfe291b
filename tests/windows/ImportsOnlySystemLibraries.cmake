# tala.exe imports only the loader's known DLLs: any other library is looked
# for first in the executable's folder, where someone may have planted a copy.
set(knownLibraries advapi32 combase comdlg32 gdi32 imm32 kernel32 msvcrt ntdll ole32 oleaut32 rpcrt4
    shell32 shlwapi user32 ws2_32)

execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT result EQUAL 0 OR NOT imports)
    message(FATAL_ERROR "no import table read from ${EXECUTABLE}")
endif()

list(TRANSFORM imports REPLACE "^DLL Name: (.+)\\.[dD][lL][lL]$" "\\1")
list(TRANSFORM imports TOLOWER)
list(REMOVE_ITEM imports ${knownLibraries})
if(imports)
    message(FATAL_ERROR "${EXECUTABLE} imports libraries the loader may take from its folder: ${imports}")
endif()
