#pragma once

// An owned, zero-filled character array on the heap, used as scratch space
// (the working copy that SplitFields cuts).
class CBufferBase {
public:
    CBufferBase() = default;
    virtual ~CBufferBase();
    CBufferBase(const CBufferBase&) = delete;
    CBufferBase& operator=(const CBufferBase&) = delete;

    char* m_pData = nullptr;
    unsigned m_nSize = 0;

protected:
    void Release();
};

class CCharBuffer : public CBufferBase {
public:
    ~CCharBuffer() override;

    // True when the buffer now holds a copy of text; false (and empty) when
    // no memory could be had.
    bool SetText(const char* text);
    // True when the buffer now holds size zero bytes.
    bool Allocate(unsigned size);
};
