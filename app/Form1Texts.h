// SPDX-License-Identifier: MIT
#pragma once
// The window's words for what the loader reports: the transfer's messages and a refused update
// file, in Russian as the window has always shown them.
#include <exception>
#include <string>

#include "loader/Errors.h"
#include "loader/ReleaseSignature.h"
#include "loader/TransferObserver.h"

// The text of a message box of the transfer; empty for None.
const char* TransferMessageText(TransferMessage message);

// The error box's text of a refused update file (before the box adds its full stop).
std::string ConversionProblemText(const ConversionProblem& problem);

// The error box's text of an update file whose release signature does not hold.
std::string SignatureProblemText(const SignatureProblem& problem);

// The error box's texts of a trusted-keys file that is refused or cannot be read.
std::string TrustedKeysProblemText(const std::string& path, const KeyProblem& problem);
std::string TrustedKeysUnreadableText(const std::string& path, const std::string& fileError);

// Edit1's tool tip for a verified release.
std::string ReleaseHintText(const ReleaseSignature& release);

// The message of any error a handler raises: a refused update file in the window's words, any
// other error's own message.
std::string ErrorMessage(const std::exception& error);
