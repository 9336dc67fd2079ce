// The failure report that ends a run nothing else could end in order: what
// failed, where and in which program, then the failure's own text. Pure
// string logic, no Windows header, so the host tests check its wording.
#pragma once

#include <cstdint>
#include <string>

/// The two lines of the report: "<kind> in <program> at <where>." ended by LF
/// alone, then `text` ended by CR LF.
std::string FormatFailureReport(const char *kind, const std::string &program, const char *where,
                                const std::string &text);

/// The text of a failure with error `code`. A code of the tool's own has its
/// own words, `ownText` ("Error 105: The console device is not open for
/// output."): the system's text for the same number would tell of something
/// else. A system error (`ownText` null) keeps the system's text for it,
/// `systemText` ("System error 6: The handle is invalid."), or just its number
/// when the system has none.
std::string FailureText(uint32_t code, const char *ownText, const std::string &systemText);
