// Script variables of a timeline, and the form encoding that carries them
// in and out of URLs: "name=value" pairs joined by "&", blanks as "+",
// everything but ASCII letters and digits as "%XX".
#pragma once

#include <string>
#include <vector>

namespace movie {

struct Variable {
    std::string name;
    std::string value;
};

// A timeline's variables in creation order; names compare without case.
class VariableList {
public:
    const std::string* Find(const std::string& name) const;
    // Sets (creating at the end when missing) the variable.
    void Set(const std::string& name, const std::string& value);
    bool Empty() const { return vars_.empty(); }
    const std::vector<Variable>& All() const { return vars_; }
    void Clear() { vars_.clear(); }

private:
    std::vector<Variable> vars_;
};

std::string FormEncode(const std::string& text);
// name=value pairs of the variables that have a name and a value, joined by "&".
std::string FormEncodeVariables(const VariableList& vars);
// "+" becomes a blank, "%" and two hexadecimal digits that byte.  A "%"
// whose first digit is not hexadecimal drops itself and that character, one
// whose second digit is not drops all three; at the end of the text the
// decoding stops (a "%" or "%X" there is dropped).
std::string FormDecode(const char* begin, const char* end);
// Sets the variables of form-encoded pairs; pairs with an empty name are
// skipped, a name without "=" gets "".
void ParseFormVariables(const std::string& text, VariableList& vars);

}  // namespace movie
