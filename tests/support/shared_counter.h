// Writers taking turns to raise a number kept in a file: the test of exclusive
// opens between threads and processes, for the tests and the helper program.
#pragma once

#include <string>

namespace testing_support {

// Adds one to the number in the file (made when missing), holding the file
// open without sharing throughout; false with the platform's last error set
// when the open fails (ERROR_SHARING_VIOLATION while another writer has it).
bool AddOneExclusively(const std::string& path);

}  // namespace testing_support
