#include "config/char_buffer.h"

#include <cstring>
#include <new>

CBufferBase::~CBufferBase() {
    Release();
}

void CBufferBase::Release() {
    delete[] m_pData;
    m_pData = nullptr;
    m_nSize = 0;
}

CCharBuffer::~CCharBuffer() = default;

bool CCharBuffer::SetText(const char* text) {
    Release();
    const std::size_t length = std::strlen(text);
    if (length >= 0xFFFFFFFFu) {
        return false;
    }
    if (!Allocate(static_cast<unsigned>(length + 1))) {
        return false;
    }
    std::memcpy(m_pData, text, length + 1);
    return true;
}

bool CCharBuffer::Allocate(unsigned size) {
    Release();
    char* data = new (std::nothrow) char[size == 0 ? 1 : size]();
    if (data == nullptr) {
        return false;
    }
    m_pData = data;
    m_nSize = size;
    return true;
}
