#pragma once

#include "vb/Text.h"
#include "velm/ParentInt.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velm {

using vb::ByteArray;

// The interface through which the driver calls an item display. Members in slot order; byte
// arrays that carry text hold UTF-16LE code units.
class DisplayInt {
public:
    virtual ~DisplayInt();

    virtual std::int32_t hwnd() = 0;
    virtual void ExternalSupport(const std::shared_ptr<ParentInt>& cSupport) = 0;
    virtual void GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string& sStateMsg) = 0;
    virtual std::int32_t GetExternalStateBytes() = 0;
    virtual void GetExternalStateArray(ByteArray& arState, std::int32_t lBytes) = 0;
    virtual bool GetResponse(std::int32_t lRespType, ByteArray& arResponse, std::int32_t lBuffer) = 0;
    virtual std::int32_t GetResponseBytes(std::int32_t lRespType, bool& bIsASCII) = 0;
    virtual bool GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore) = 0;
    virtual bool HideExternalDisplay() = 0;
    virtual bool FreeExternalDisplay() = 0;
    virtual bool InitExternalDisplay(const ByteArray& arInit, std::int32_t lInitBytes, std::int32_t lOptions) = 0;
    virtual bool RescoreExternalDisplay(const ByteArray& arResponse, std::int32_t lRespBytes, std::int16_t& nCorrect,
                                        std::int16_t& nIncorrect, std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                        float& fRawScore) = 0;
    virtual bool RescoreExternalDisplayQuick(const ByteArray& arResponse, std::int32_t lRespBytes,
                                             std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                             std::int16_t& nNotAttempted, std::int16_t& nNotScored, float& fRawScore,
                                             const ByteArray& XMLBA, std::int32_t& lArrayLen) = 0;
    virtual bool ResizeExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                       std::int32_t lHeight) = 0;
    virtual bool ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                                      std::int16_t& nNotScored, float& fRawScore) = 0;
    virtual void SetExternalStateArray(const ByteArray& arState, std::int32_t lBytes) = 0;
    virtual std::int32_t SetParentWnd(std::int32_t hParentWnd) = 0;
    virtual bool ShowExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                     std::int32_t lHeight) = 0;
};

}  // namespace velm
