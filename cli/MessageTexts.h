// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash's words for what the loader reports: the transfer's messages and a refused update
// file, in the user's language.
#include <exception>
#include <string>

#include "loader/Errors.h"
#include "loader/TransferObserver.h"
#include "serial/VaClasses.h"

// The text of a transfer's message; empty for None.
std::string MessageText(TransferMessage message);

// What is wrong with a refused update file, with its line where it has one.
std::string ProblemText(const ConversionProblem& problem);

// The file error's text ("File not found", "I/O error 5").
std::string FileErrorText(const EInOutError& error);

// The serial component's error in the user's language; one of a message of its own as it stands.
std::string CommErrorText(const EVaCommError& error);

// The message of an error as the command line prints it: a refused or unreadable update file and
// a serial error in tevr-flash's words, any other error's own message.
std::string MessageOf(const std::exception& error);
