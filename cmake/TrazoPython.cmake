# Finds what the Python module needs: Debian's own interpreter (the one with NumPy), its
# headers, NumPy and pybind11, besides the PNG codec. Sets TRAZO_PYTHON_FOUND; quiet when
# something is missing, so that the module is simply not built there.
set(TRAZO_PYTHON_FOUND OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT EMSCRIPTEN AND NOT WIN32)
  # The first python3 on the PATH may be another interpreter without the system's packages.
  if(NOT DEFINED Python_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python the module is built for")
  endif()
  find_package(Python 3.8 QUIET COMPONENTS Interpreter Development.Module NumPy)
  if(Python_FOUND)
    find_package(pybind11 2.6 CONFIG QUIET)
  endif()
  # The module writes PNG files through the project's codec.
  if(Python_FOUND AND pybind11_FOUND AND TARGET trazo_png)
    set(TRAZO_PYTHON_FOUND ON)
  endif()
endif()
