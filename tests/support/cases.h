// Table-driven tests: a case prints as its name.
#pragma once

#include <ostream>

namespace zelo::test {

// Declare `using test::PrintTo;` beside cases kept in another namespace.
template <typename Case>
  requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

}  // namespace zelo::test
