// SPDX-License-Identifier: MIT
#pragma once
// The transfer's window as the command line has it: the update file and port of the command
// line, the lists, plain LED, button and gauge states, and messages handed to the flasher.
#include <chrono>
#include <functional>
#include <string>

#include "loader/TransferHost.h"

class FlashHost : public TransferHost, private ProgressGauge {
public:
    FlashHost(std::string file, std::string port);

    std::string Edit1Text() const override { return file_; }
    std::string ComboBox1Text() const override { return port_; }
    UpdateLists& Lists() override { return lists_; }
    void SetLedChecked(bool checked) override { led_ = checked; }
    bool ButtonChecked() const override { return button_; }
    void SetButtonChecked(bool checked) override { button_ = checked; }
    ProgressGauge& Gauge() override { return *this; }
    void ShowMessage(const std::string& text) override;
    void TransferFinished(TransferEnding ending) override;
    uint32_t TickCount() override;

    int32_t MaxValue() const { return maxValue_; }

    // Receive every message of the transfer and its end; each returns when it has been dealt
    // with.
    std::function<void(const std::string&)> OnMessage;
    std::function<void(TransferEnding)> OnFinished;

private:
    void SetMaxValue(int32_t value) override { maxValue_ = value; }
    int32_t Progress() const override { return progress_; }
    void SetProgress(int32_t value) override { progress_ = value; }

    const std::string file_;
    const std::string port_;
    UpdateLists lists_;
    bool led_ = false;
    bool button_ = false;
    int32_t maxValue_ = 0;
    int32_t progress_ = 0;
    const std::chrono::steady_clock::time_point epoch_ = std::chrono::steady_clock::now();
};
