# The JNI declarations come from the JDK the build uses (the one javac
# belongs to); a Windows target takes its machine-dependent part from the
# repository, since a Linux JDK carries only its own.
find_program(TALA_JAVAC javac REQUIRED NO_CMAKE_FIND_ROOT_PATH)
get_filename_component(_javac ${TALA_JAVAC} REALPATH)
get_filename_component(_jdkBin ${_javac} DIRECTORY)
get_filename_component(TALA_JDK_HOME ${_jdkBin} DIRECTORY)
if(NOT EXISTS ${TALA_JDK_HOME}/include/jni.h)
    message(FATAL_ERROR "jni.h not found in ${TALA_JDK_HOME}/include: install a JDK (openjdk-17-jdk-headless)")
endif()
set(TALA_JNI_INCLUDE_DIRS ${TALA_JDK_HOME}/include)
if(WIN32)
    list(APPEND TALA_JNI_INCLUDE_DIRS ${CMAKE_SOURCE_DIR}/vm/jni/windows)
else()
    list(APPEND TALA_JNI_INCLUDE_DIRS ${TALA_JDK_HOME}/include/linux)
endif()
