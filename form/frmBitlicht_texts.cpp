#include "frmBitlicht_texts.h"

namespace layout {

namespace {

std::string placeValueOf(int bit)
{
    return std::to_string(1 << bit);
}

} // namespace

std::string objectName(Ref ref)
{
    std::string name = NameText[std::size_t(ref.name)];
    return ref.index < 0 ? name : name + "(" + std::to_string(ref.index) + ")";
}

std::string accessibleName(Ref ref)
{
    const int i = ref.index;
    switch (ref.name) {
    case chkD:
        return "Bit D" + std::to_string(i) + ", Stellenwert " + placeValueOf(i);
    case Picture1:
        return "LED D" + std::to_string(i);
    case txtDualAusgabe:
        return i < 8 ? "Ziffer von Bit D" + std::to_string(i)
                     : "Stellenwert von Bit D" + std::to_string(15 - i);
    case txtWertausgabe:
        return "Dezimalzahl";
    case txtAsc:
        return "Zeichen";
    case Frame2:
        return i == 1 ? "Stellenwerte" : "Bitlicht";
    default:
        return {}; // the caption says it
    }
}

std::string accessibleDescription(Ref ref)
{
    switch (ref.name) {
    case chkLoesungAnzeigen:
        return "Zeigt oder verbirgt die Dezimalzahl";
    case chkAsc:
        return "Zeigt oder verbirgt das Zeichen des Bytes";
    case ChkSimulation:
        return "Wenn gesetzt, wird der Parallelport nicht beschrieben";
    default:
        return {};
    }
}

std::string runTimeErrorText(std::string_view message)
{
    return "Ein unerwarteter Fehler ist aufgetreten:\n\n" + std::string(message) +
           "\n\nBitlicht wird beendet.";
}

} // namespace layout
