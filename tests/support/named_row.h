#pragma once
// A row of a parameterised table: gtest prints it, and names its test, by the row's name.
#include <ostream>
#include <string>

namespace tempik::testing {

struct NamedRow {
    const char* name;
    // Found through the row's base class: every table row prints as its name.
    friend std::ostream& operator<<(std::ostream& out, const NamedRow& row) { return out << row.name; }
};

// The name generator of INSTANTIATE_TEST_SUITE_P: each row's test is called by its name.
inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace tempik::testing
