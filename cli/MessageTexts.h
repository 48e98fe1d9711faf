// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash's side of the one table of words (words/Words.h): the message of any error as the
// command line prints it after its subject.
#include <exception>
#include <string>

// The message of an error as the command line prints it after its subject: what the layers report
// in the table's words, any other error's own message.
std::string MessageOf(const std::exception& error);
