# Writes INPUT's bytes into OUTPUT as a C++ string_view named SYMBOL.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE "${OUTPUT}"
     "#include <string_view>\n"
     "namespace {\nconstexpr char kBytes[] = {${bytes} '\\0'};\n}\n"
     "extern const std::string_view ${SYMBOL};\n"
     "const std::string_view ${SYMBOL}(kBytes, sizeof(kBytes) - 1);\n")
