# CMake generated Testfile for 
# Source directory: /work/main
# Build directory: /work/main/build/native
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
add_test([=[native_run_control_test]=] "/work/main/build/native/native_run_control_test")
set_tests_properties([=[native_run_control_test]=] PROPERTIES  TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/CMakeLists.txt;106;add_test;/work/main/CMakeLists.txt;0;")
