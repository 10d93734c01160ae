// For tests only: printers that live in the process, answer with the
// capabilities a test gives them, refuse chosen steps of a job, and keep what
// the spooler handed them. Hosts never include this.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/spooler/spooler.h"

namespace ktfolio::win::spooler::testing {

// The steps a test printer can refuse, in the order a job takes them.
enum class Fault { OpenPrinter, SizeDevMode, FillDevMode, CreateDC, StartDoc, StartPage, EndPage, EndDoc, AbortDoc,
                   DeleteDC, ClosePrinter };

struct TestPrinter {
  std::string name;
  std::string port = "TEST:";
  int maxCopies = 99;  // what DeviceCapabilities(DC_COPIES) answers
  std::string output;  // the PDF its jobs write (required)
  // Refuse the n-th call (1-based) of a step; each step counts its own calls.
  std::map<Fault, int> failAt;
};

// What a test printer saw. Cleared when the printer is added again.
struct TestPrinterLog {
  // The steps in order, by their Fault names, and "DeviceCapabilities"
  // when the copies were asked for.
  std::vector<std::string> calls;
  std::vector<BYTE> devmode;       // the record CreateDC was given (empty: none)
  int contexts = 0;                // CreateDC calls that made a context
};

// Adds (or replaces) a printer; names shadow the other backends'.
void AddTestPrinter(const TestPrinter& printer);
void RemoveTestPrinters();
const TestPrinterLog& TestPrinterLogOf(const std::string& name);

}  // namespace ktfolio::win::spooler::testing
