// The log file writer's internal side: the path of the general log.
#pragma once

namespace logging {

// The general log's path: "LoggingPath" of cv.ver with environment
// variables expanded (default GeneralLog.log beside the library), or what
// SetLogPath set. Kept once made.
const char* GetLogPathA();

// Test seam: forgets the kept log path and category filters, as a new
// process would start.
void ForgetLogStateForTesting();

}  // namespace logging
