# trazo render --window and trazo tiles: every window and every tile has exactly the pixels of
# its part of the whole picture (CHECK compares them), and what they refuse is refused with
# exit status 2 (1 when a file cannot be written) and a message that says why.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_run expected_code expected_message)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${err}" "${expected_message}" at)
  if(NOT code EQUAL expected_code OR at EQUAL -1)
    message(FATAL_ERROR "${ARGN}: exit ${code}, expected ${expected_code} and '${expected_message}'\n${err}")
  endif()
endfunction()

# Windows at the corners, along the edges, inside and the whole, with the host's options
# (texts over the raster, wide lines, antialiasing) that must follow the window too.
set(look --text --line-width 3 --palette light --background white)
foreach(smooth IN ITEMS crisp antialias)
  set(how ${look})
  if(smooth STREQUAL "antialias")
    list(APPEND how --antialias)
  endif()
  expect_run(0 "" ${TRAZO} render ${SAMPLE} -o ${WORK}/whole_${smooth}.png --size 640x480 ${how})
  set(windows 0,0,640,480 0,0,1,1 639,479,1,1 600,0,40,480 0,470,640,10 100,200,300,100)
  set(compared "")
  foreach(window IN LISTS windows)
    string(REPLACE "," ";" at "${window}")
    list(GET at 0 left)
    list(GET at 1 top)
    string(REPLACE "," "_" named "${window}")
    expect_run(0 "" ${TRAZO} render ${SAMPLE} -o ${WORK}/window_${smooth}_${named}.png --size 640x480
               --window ${window} ${how})
    list(APPEND compared ${left} ${top} ${WORK}/window_${smooth}_${named}.png)
  endforeach()
  expect_run(0 "" ${CHECK} ${WORK}/whole_${smooth}.png ${compared})
endforeach()

# The pyramid of zooms 0 to 2 against the whole picture at each zoom.
expect_run(0 "" ${TRAZO} tiles ${SAMPLE} -o ${WORK}/tiles --zoom 2 --text)
foreach(z 0 1 2)
  math(EXPR side "256 << ${z}")
  math(EXPR last "(1 << ${z}) - 1")
  expect_run(0 "" ${TRAZO} render ${SAMPLE} -o ${WORK}/zoom${z}.png --size ${side}x${side} --text)
  set(compared "")
  foreach(x RANGE ${last})
    foreach(y RANGE ${last})
      math(EXPR left "${x} * 256")
      math(EXPR top "${y} * 256")
      list(APPEND compared ${left} ${top} ${WORK}/tiles/${z}/${x}/${y}.png)
    endforeach()
  endforeach()
  expect_run(0 "" ${CHECK} ${WORK}/zoom${z}.png ${compared})
endforeach()
file(GLOB_RECURSE written RELATIVE ${WORK}/tiles ${WORK}/tiles/*)
list(LENGTH written count)
if(NOT count EQUAL 21)
  message(FATAL_ERROR "zooms 0-2 make 21 tiles, not ${count}: ${written}")
endif()
# Antialiased tiles are the parts of the antialiased picture.
expect_run(0 "" ${TRAZO} tiles ${SAMPLE} -o ${WORK}/smooth_tiles --zoom 1-1 --antialias)
expect_run(0 "" ${TRAZO} render ${SAMPLE} -o ${WORK}/smooth_zoom1.png --size 512x512 --antialias)
set(compared "")
foreach(x RANGE 1)
  foreach(y RANGE 1)
    math(EXPR left "${x} * 256")
    math(EXPR top "${y} * 256")
    list(APPEND compared ${left} ${top} ${WORK}/smooth_tiles/1/${x}/${y}.png)
  endforeach()
endforeach()
expect_run(0 "" ${CHECK} ${WORK}/smooth_zoom1.png ${compared})
# Only the zooms asked for, and tiles of another side.
expect_run(0 "" ${TRAZO} tiles ${SAMPLE} -o ${WORK}/deep --zoom 3-3 --tile 64)
file(GLOB_RECURSE written RELATIVE ${WORK}/deep ${WORK}/deep/*)
list(LENGTH written count)
if(NOT count EQUAL 64 OR NOT EXISTS ${WORK}/deep/3/7/7.png)
  message(FATAL_ERROR "zoom 3 of 64-pixel tiles makes 3/0/0.png to 3/7/7.png, not ${written}")
endif()
# A window of a picture far larger than one kept whole could be.
expect_run(0 "" ${TRAZO} render ${SAMPLE} -o ${WORK}/far.png --size 1048576x1048576 --window 524000,524000,512,512)

# What is refused: status=message=arguments (separated by |).
file(WRITE ${WORK}/a_file "")
file(MAKE_DIRECTORY ${WORK}/taken/0/0/0.png)
foreach(case IN ITEMS
    "2=is empty=render|-o|${WORK}/r.png|--window|0,0,0,10"
    "2=reaches outside the 640x480 picture=render|-o|${WORK}/r.png|--size|640x480|--window|600,0,41,480"
    "2=reaches outside=render|-o|${WORK}/r.png|--size|640x480|--window|700,500,10,10"
    "2=expected LEFT,TOP,WIDTH,HEIGHT=render|-o|${WORK}/r.png|--window|1,2,3"
    "2=expected LEFT,TOP,WIDTH,HEIGHT=render|-o|${WORK}/r.png|--window|-1,0,3,3"
    "2=too large=render|-o|${WORK}/r.png|--size|20000x20000|--window|0,0,16385,10"
    "2=only a PNG=render|-o|${WORK}/r.svg|--window|0,0,10,10"
    "2=1048576 with --window=render|-o|${WORK}/r.png|--size|2000000x10|--window|0,0,10,10"
    "2=1048576 with --window=render|-o|${WORK}/r.png|--size|20000x10"
    "2=--zoom: expected=tiles|-o|${WORK}/r|--zoom|21"
    "2=--zoom: expected=tiles|-o|${WORK}/r|--zoom|3-1"
    "2=--zoom: expected=tiles|-o|${WORK}/r|--zoom|1-"
    "2=wider than=tiles|-o|${WORK}/r|--zoom|19|--tile|4096"
    "1=a_file/0/0: cannot be made: =tiles|-o|${WORK}/a_file|--zoom|0"
    "1=0/0/0.png: cannot be written: is a folder=tiles|-o|${WORK}/taken|--zoom|0")
  string(REPLACE "=" ";" case "${case}")
  list(GET case 0 status)
  list(GET case 1 expected_message)
  list(GET case 2 arguments)
  string(REPLACE "|" ";" arguments "${arguments}")
  list(POP_FRONT arguments command)
  expect_run(${status} "${expected_message}" ${TRAZO} ${command} ${SAMPLE} ${arguments})
endforeach()
if(EXISTS ${WORK}/r.png OR EXISTS ${WORK}/r.svg OR EXISTS ${WORK}/r)
  message(FATAL_ERROR "a refused window or pyramid was written")
endif()
