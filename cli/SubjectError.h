// SPDX-License-Identifier: MIT
#pragma once
// An error about one thing named on the command line: the update file, the port, the image. It
// reads "SUBJECT: message"; hints for the user may follow on lines of their own, each printed
// after the subject as well.
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/MessageTexts.h"
#include "line/Problem.h"

class SubjectError : public std::runtime_error {
public:
    SubjectError(const std::string& subject, const std::string& message,
                 std::vector<std::string> hints = {})
        : std::runtime_error(subject + ": " + message),
          subject_(subject),
          message_(message),
          hints_(std::move(hints)) {}

    const std::string& Subject() const { return subject_; }
    // The message without its subject.
    const std::string& Message() const { return message_; }
    const std::vector<std::string>& Hints() const { return hints_; }

private:
    std::string subject_;
    std::string message_;
    std::vector<std::string> hints_;
};

// A command line that asks for what cannot be done, found only once its names are resolved; it
// ends the program as a usage error does.
class UsageError : public SubjectError {
public:
    using SubjectError::SubjectError;
};

// The error of a port that failed, as SubjectError: a refused permission comes with the hint
// that names the group owning the device; an error that names its subject already stays as it is.
SubjectError PortError(const std::string& port, const std::exception& error);
SubjectError PortError(const std::string& port, const SerialProblem& problem);

// Runs `work`; whatever it throws is thrown again as an error about `subject`.
template <typename Work>
decltype(auto) About(const std::string& subject, Work&& work) {
    try {
        return work();
    } catch (const SubjectError&) {
        throw;
    } catch (const std::exception& e) {
        throw SubjectError(subject, MessageOf(e));
    }
}
