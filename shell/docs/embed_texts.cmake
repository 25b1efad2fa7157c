# Writes a C++ source that holds text files as NUL-terminated character
# arrays, so that the program carries its documentation and never reads it
# from disk. Usage:
#   cmake -DOUT=file.cpp -DHEADER=shell/docu_texts.h -DTEXTS="name=path;name=path" -P embed_texts.cmake
set(code "// Generated from the documentation texts by shell/docs/embed_texts.cmake; do not edit.\n")
string(APPEND code "#include \"${HEADER}\"\n")
foreach(pair ${TEXTS})
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  # Every byte as an escape, 16 to a line of adjacent literals.
  string(APPEND code "\nextern const char ${name}[] =\n    \"\"")
  string(LENGTH "${hex}" len)
  set(pos 0)
  while(pos LESS len)
    string(SUBSTRING "${hex}" ${pos} 32 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" chunk "${chunk}")
    string(APPEND code "\n    \"${chunk}\"")
    math(EXPR pos "${pos} + 32")
  endwhile()
  string(APPEND code ";\n")
endforeach()
file(WRITE "${OUT}" "${code}")
