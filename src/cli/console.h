#pragma once

#include <iosfwd>

// Where the command line talks to its user.
struct Console {
    std::ostream& out;  // what was asked for: lists, reports, diffs, what was done
    std::ostream& err;  // errors, questions and the progress bar
    std::istream& in;   // answers to questions
    bool canAsk;        // a person can answer: standard input and error are a terminal
    bool showsProgress; // standard error is a terminal
};
