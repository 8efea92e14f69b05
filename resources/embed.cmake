# Writes the two LED icons as C++ byte arrays:
# cmake -DLIT=... -DDARK=... -DOUT=BuiltInIcons.cpp -P embed.cmake
function(bytes file var)
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
    set(${var} "${hex}" PARENT_SCOPE)
endfunction()
bytes(${LIT} lit)
bytes(${DARK} dark)
file(WRITE ${OUT} "#include \"BuiltInIcons.h\"\n\nnamespace resources {\nnamespace {\n"
    "constexpr std::uint8_t Lit[] = {${lit}};\nconstexpr std::uint8_t Dark[] = {${dark}};\n"
    "} // namespace\nconst std::span<const std::uint8_t> LitIcon{Lit};\n"
    "const std::span<const std::uint8_t> DarkIcon{Dark};\n} // namespace resources\n")
