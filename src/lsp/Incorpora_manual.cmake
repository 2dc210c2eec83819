# Writes the manual into a C++ source (cmake -P, with ENTRADA and SALIDA), so that the
# server carries the reference the editor shows and follows every edit of it.
file(READ ${ENTRADA} manual)
string(FIND "${manual}" ")manual\"" choque)
if(NOT choque EQUAL -1)
  message(FATAL_ERROR "the manual holds the text that ends the raw string")
endif()
file(WRITE ${SALIDA}.tmp "#include \"lsp/Manual_lsp.h\"\n\nstd::string_view ManualIncorporado() {\n    return R\"manual(${manual})manual\";\n}\n")
file(COPY_FILE ${SALIDA}.tmp ${SALIDA} ONLY_IF_DIFFERENT)
