// The "Problems downloading?" link's address with its placeholders filled in when it is opened:
// {code} (the run's error code, empty while nothing failed), {os}, {bit}, {lang} and {version}.
// An address without them opens unchanged.
#pragma once

#include <string>

#include "app/run_record.h"

std::u16string FillHelpAddress(const std::u16string& address, const RunFacts& facts, const std::string& errorCode);
