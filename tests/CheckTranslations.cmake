# Every text of ours has a finished English translation: lupdate, run over the sources into a
# copy of the committed .ts, finds nothing unfinished; and no Russian string literal in the
# sources escapes it (a text not marked TG_TR_NOOP would never be translated).
# cmake -DLUPDATE=... -DSOURCE_DIR=... -DTS_FILE=... -DWORK_DIR=... "-DFOLDERS=a;b"
# "-DOPTIONS=..." -P CheckTranslations.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var LUPDATE SOURCE_DIR TS_FILE WORK_DIR FOLDERS OPTIONS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK_DIR})
set(ts ${WORK_DIR}/check_en.ts)
file(COPY_FILE ${TS_FILE} ${ts})
execute_process(COMMAND ${LUPDATE} ${OPTIONS} ${FOLDERS} -ts ${ts}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result}):\n${out}\n${err}")
endif()
file(READ ${ts} content)

set(problems "")
string(REGEX MATCHALL "<source>[^<]*(<byte[^>]*>[^<]*)*</source>[ \n]*<translation type=\"unfinished\"" unfinished "${content}")
foreach(entry IN LISTS unfinished)
  string(REGEX REPLACE "[ \n]*<translation.*" "" entry "${entry}")
  string(APPEND problems "  not translated: ${entry}\n")
endforeach()

# Whether text holds a Cyrillic letter: one of their lead bytes in UTF-8.
string(ASCII 208 lead0)
string(ASCII 209 lead1)
function(has_cyrillic out text)
  string(FIND "${text}" "${lead0}" at0)
  string(FIND "${text}" "${lead1}" at1)
  if(at0 EQUAL -1 AND at1 EQUAL -1)
    set(${out} FALSE PARENT_SCOPE)
  else()
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

set(exempt keyboard/KeyPicturesMain.cpp) # the letters printed on the key pictures
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    if(file IN_LIST exempt)
      continue()
    endif()
    # One list item a line: the characters that lists treat specially stand in for themselves
    # until a literal is compared.
    file(READ ${SOURCE_DIR}/${file} text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "[" "<open>" text "${text}")
    string(REPLACE "]" "<close>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    foreach(line IN LISTS lines)
      has_cyrillic(found "${line}")
      if(NOT found)
        continue()
      endif()
      string(REGEX REPLACE "^[ \t]*//.*" "" line "${line}")
      string(REGEX REPLACE "[ \t]// .*" "" line "${line}")
      string(REGEX MATCHALL "\"([^\"\\\\]|\\\\.)*\"" literals "${line}")
      foreach(literal IN LISTS literals)
        has_cyrillic(found "${literal}")
        if(NOT found)
          continue()
        endif()
        # The literal as the .ts writes it.
        string(REGEX REPLACE "^\"(.*)\"$" "\\1" text "${literal}")
        string(REPLACE "<semicolon>" ";" text "${text}")
        string(REPLACE "<open>" "[" text "${text}")
        string(REPLACE "<close>" "]" text "${text}")
        string(REPLACE "&" "&amp;" text "${text}")
        string(REPLACE "<" "&lt;" text "${text}")
        string(REPLACE ">" "&gt;" text "${text}")
        string(REPLACE "'" "&apos;" text "${text}")
        string(REPLACE "\\\"" "&quot;" text "${text}")
        string(REPLACE "\\n" "\n" text "${text}")
        string(REPLACE "\\r" "<byte value=\"xd\"/>" text "${text}")
        string(FIND "${content}" "${text}" at)
        if(at EQUAL -1)
          string(APPEND problems "  not marked for translation: ${file}: ${literal}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Texts without an English translation:\n${problems}"
    "Mark each text TG_TR_NOOP(\"Tonegrove\", \"...\"), run "
    "`cmake --build build --target tg_update_translations` and write its translation into "
    "${TS_FILE}.")
endif()
message(STATUS "Every text has its English translation")
