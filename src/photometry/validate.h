// Checking a photometric file: what the readers refuse, what they take in
// silence although it is off (counts that do not fit the data, a plane step
// that does not divide the circle, a missing tilt file, ...), and what the
// intensity table says about itself (negative values, no flux, a light output
// ratio that does not match the intensities). Each problem has a stable code
// (docs/validation.md), a severity and, for the text formats, its line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/diagnostics.h"

namespace kandelo {

class TLUM32;

struct ValidationProblem {
  std::string code;  // "L04", ... (ValidationCodes())
  Severity severity = Severity::Error;
  int line = 0;      // 1-based line of a text format; 0 when the problem has no line
  std::string message;  // fixed English text with the values found (1252)
};

struct ValidationReport {
  std::string file;
  std::uint8_t formatCode = 11;  // as read; fmtUnknown when no reader took the file
  std::vector<ValidationProblem> problems;  // in the order of the file, then the whole-table checks
  bool HasErrors() const;
  int Count(Severity severity) const;
};

// Reads the file with the program's readers (their messages are collected,
// not shown) and runs every check that applies to its format.
ValidationReport ValidateFile(const std::string& path);
struct LoadResult;
// The same checks for a file the caller has loaded already (LoadLuminaire's
// result and luminaire); only the text scans read the file again.
ValidationReport ValidateLoaded(const std::string& path, TLUM32& lum, const LoadResult& loaded);

// Every code with its severity and what it means, in code order (the CLI's
// documentation lists the same).
struct ValidationCodeInfo {
  const char* code;
  Severity severity;
  const char* meaning;
};
const std::vector<ValidationCodeInfo>& ValidationCodes();
// The entry of a code; nullptr for an unknown one.
const ValidationCodeInfo* FindValidationCode(const std::string& code);

const char* SeverityName(Severity severity);  // "error", "warning"
// "L03 warning, line 4: message" (without ", line N" when there is no line).
std::string ProblemLine(const ValidationProblem& problem);

}  // namespace kandelo
