// SPDX-License-Identifier: MIT
#pragma once
// The settings objects of the serial component. Each tells its owner when it changes, once per
// BeginUpdate/EndUpdate bracket, so that a whole assignment re-applies the line settings once.
#include <cstdint>
#include <functional>

#include "serial/VaTypes.h"

class TVaPersistent {
public:
    using TChangeEvent = std::function<void(TVaPersistent& sender)>;

    TVaPersistent() = default;
    // A copy carries the values only: no owner to notify and no update in progress.
    TVaPersistent(const TVaPersistent&) {}
    TVaPersistent& operator=(const TVaPersistent&) = delete;
    virtual ~TVaPersistent() = default;

    // Copies every value of `source`, a settings object of the same kind, notifying once.
    virtual void Assign(const TVaPersistent& source);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Changed();

    int UpdateCount() const { return updateCount_; }
    TChangeEvent OnChange;

protected:
    [[noreturn]] void AssignError(const TVaPersistent& source) const;
    virtual const char* ClassName() const = 0;

private:
    int updateCount_ = 0;
};

class TVaFlowControl : public TVaPersistent {
public:
    void Assign(const TVaPersistent& source) override;

    bool OutCtsFlow() const { return outCtsFlow_; }
    bool OutDsrFlow() const { return outDsrFlow_; }
    TVaControlDtr ControlDtr() const { return controlDtr_; }
    TVaControlRts ControlRts() const { return controlRts_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DsrSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }

    void SetOutCtsFlow(bool value) { Store(outCtsFlow_, value); }
    void SetOutDsrFlow(bool value) { Store(outDsrFlow_, value); }
    void SetControlDtr(TVaControlDtr value) { Store(controlDtr_, value); }
    void SetControlRts(TVaControlRts value) { Store(controlRts_, value); }
    void SetXonXoffOut(bool value) { Store(xonXoffOut_, value); }
    void SetXonXoffIn(bool value) { Store(xonXoffIn_, value); }
    void SetDsrSensitivity(bool value) { Store(dsrSensitivity_, value); }
    void SetTxContinueOnXoff(bool value) { Store(txContinueOnXoff_, value); }

protected:
    const char* ClassName() const override { return "TVaFlowControl"; }

private:
    template <typename T>
    void Store(T& field, T value) {
        if (field == value) return;
        field = value;
        Changed();
    }

    bool outCtsFlow_ = false;
    bool outDsrFlow_ = false;
    TVaControlDtr controlDtr_ = dtrDisabled;
    TVaControlRts controlRts_ = rtsDisabled;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
};

class TVaEventChars : public TVaPersistent {
public:
    void Assign(const TVaPersistent& source) override;

    char XonChar() const { return chars_[0]; }
    char XoffChar() const { return chars_[1]; }
    char ErrorChar() const { return chars_[2]; }
    char EventChar() const { return chars_[3]; }
    char EofChar() const { return chars_[4]; }

    void SetXonChar(char value) { SetChar(1, value); }
    void SetXoffChar(char value) { SetChar(2, value); }
    void SetErrorChar(char value) { SetChar(3, value); }
    void SetEventChar(char value) { SetChar(4, value); }
    void SetEofChar(char value) { SetChar(5, value); }

    // The shared setter: index 1 XonChar, 2 XoffChar, 3 ErrorChar, 4 EventChar, 5 EofChar. It
    // notifies on every call, also when the value stays the same.
    void SetChar(int index, char value);

protected:
    const char* ClassName() const override { return "TVaEventChars"; }

private:
    char chars_[5] = {0x11, 0x13, 0, 0, 0};
};

class TVaBuffers : public TVaPersistent {
public:
    void Assign(const TVaPersistent& source) override;

    std::int32_t ReadSize() const { return readSize_; }
    std::int32_t WriteSize() const { return writeSize_; }
    std::int32_t ReadTimeout() const { return readTimeout_; }
    std::int32_t WriteTimeout() const { return writeTimeout_; }
    std::int32_t XonLimit() const { return xonLimit_; }
    std::int32_t XoffLimit() const { return xoffLimit_; }

    // Values below 0 are taken as 0: the sizes and limits are counts.
    void SetReadSize(std::int32_t value) { Store(readSize_, value); }
    void SetWriteSize(std::int32_t value) { Store(writeSize_, value); }
    void SetXonLimit(std::int32_t value) { Store(xonLimit_, value); }
    void SetXoffLimit(std::int32_t value) { Store(xoffLimit_, value); }
    // The time-outs take effect at the next read or write and tell nobody.
    void SetReadTimeout(std::int32_t value) { readTimeout_ = value < 0 ? 0 : value; }
    void SetWriteTimeout(std::int32_t value) { writeTimeout_ = value < 0 ? 0 : value; }

protected:
    const char* ClassName() const override { return "TVaBuffers"; }

private:
    void Store(std::int32_t& field, std::int32_t value) {
        if (value < 0) value = 0;
        if (field == value) return;
        field = value;
        Changed();
    }

    std::int32_t readSize_ = 4096;
    std::int32_t writeSize_ = 2048;
    std::int32_t readTimeout_ = 1000;
    std::int32_t writeTimeout_ = 1000;
    std::int32_t xonLimit_ = 1024;
    std::int32_t xoffLimit_ = 1024;
};
