// LTLI files (".LTL"): fixed-column text, read only. ReadLTLI is declared in
// format_io.h; the distribution is turned by TLUM32::RotateDistribution
// (rotate.cpp) when the file's orientation asks for it.
#pragma once

#include <string_view>

namespace kandelo {

// Integer field k (from 1) of an LTLI line: columns 4k − 3 … 4k; blank or
// unreadable fields give 0.
long long LtliField(std::string_view line, int k);

}  // namespace kandelo
