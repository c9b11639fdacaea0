# Whether the standard library can start threads here: not in MinGW's win32 thread model,
# nor in a browser build without shared memory. trazo_use_threads(<target>) links the
# platform's threads and defines TRAZO_HAS_THREADS=1 where it can.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
  #include <thread>
  int main() { std::thread t([] {}); t.join(); }" TRAZO_STD_THREAD_COMPILES)

function(trazo_use_threads target)
  if(TRAZO_STD_THREAD_COMPILES AND NOT EMSCRIPTEN)
    find_package(Threads REQUIRED)
    target_link_libraries(${target} PRIVATE Threads::Threads)
    target_compile_definitions(${target} PRIVATE TRAZO_HAS_THREADS=1)
  endif()
endfunction()
