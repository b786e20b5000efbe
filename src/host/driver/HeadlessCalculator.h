#pragma once

namespace velm::host {

// The calculator program this driver supplies, "dcalc.exe": started, it opens a window of class
// "SciCalc" titled "Calculator", which goes away when it is asked to close.
class HeadlessCalculator {
public:
    // The program's file name.
    static constexpr const char* kProgram = "dcalc.exe";
    // The class and title of the window it opens.
    static constexpr const char* kWindowClass = "SciCalc";
    static constexpr const char* kWindowTitle = "Calculator";

    // Registers the program with the process's launcher; doing it again changes nothing.
    static void install();
};

}  // namespace velm::host
