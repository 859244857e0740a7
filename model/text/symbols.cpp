#include "model/text/symbols.h"

#include "model/text/rtf_model.h"

const char* const kSymbolPalette =
    "a\nb\nc\nd\ne\nf\ng\nh\ni\nk\nl\nm\nn\no\np\nq\nr\ns\nt\nu\nw\nx\ny\nz\n"
    "A\nB\nC\nD\nE\nF\nG\nH\nI\nK\nL\nM\nN\nO\nP\nQ\nR\nS\nT\nU\nW\nX\nY\nZ\n2\n3";

int PaletteCode(const CString& selection)
{
    if (selection.IsEmpty()) return 'a';
    if (selection == "2") return 178;
    if (selection == "3") return 179;
    return static_cast<unsigned char>(selection[0]);
}

int MapSymbolToGreek(int code)
{
    if (code == 178 || code == 179) return code;
    int c = code;
    switch (code | 0x20) {  // the same shift for the capital and the small letter
    case 'c': c += 20; break;
    case 'f': c += 16; break;
    case 'g': c -= 4; break;
    case 'h': case 'k': case 'l': case 'm': case 'n': case 'r': case 'y': c -= 1; break;
    case 'q': c -= 9; break;
    case 'w': c += 2; break;
    case 'x': c -= 10; break;
    case 'z': c -= 20; break;
    default: break;
    }
    if (!((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'))) c = code;
    return (c + 128) & 0xFF;
}

SymbolInsert PlanSymbolInsert(int code, int selectionCharset, const CString& face)
{
    if (selectionCharset == kCharsetGreek) return {MapSymbolToGreek(code), SymbolInsert::Keep};
    if (code <= 122) return {code, SymbolInsert::Symbol};
    if (face.Find("Symbol") >= 0 || face.Find("symbol") >= 0) return {code, SymbolInsert::Arial};
    return {code, SymbolInsert::Keep};
}
