#pragma once
// A control that shows its value as text over a background, and the text label built on it.

#include "gui/CControl.h"
#include "gui/CControlStyles.h"
#include "gui/CDrawContext.h"

namespace tanuvo::gui {

class CParamDisplay : public CControl {
  public:
    using StringConvert = void (*)(float value, char* text);
    using StringConvertWithData = void (*)(float value, char* text, void* userData);

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, const long style = 0);
    ~CParamDisplay() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    // Each setter marks the display dirty when the value changes.
    virtual void setFont(CFont fontID);
    virtual void setTxtFace(CTxtFace face);
    virtual void setFontColor(CColor color);
    virtual void setBackColor(CColor color);
    virtual void setFrameColor(CColor color);
    virtual void setShadowColor(CColor color);

    virtual void setHoriAlign(CHoriTxtAlign align) { horiTxtAlign = align; }
    virtual void setStringConvert(StringConvert convert) { stringConvert = convert; }
    virtual void setStringConvert(StringConvertWithData convert, void* data) {
        stringConvert2 = convert;
        userData = data;
    }
    virtual void setStyle(long value) { style = value; }
    virtual void setTextTransparency(bool value) { textTransparency = value; }

    CFont getFont() const { return fontID; }
    CTxtFace getTxtFace() const { return txtFace; }
    CColor getFontColor() const { return fontColor; }
    CColor getBackColor() const { return backColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getShadowColor() const { return shadowColor; }
    CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
    long getStyle() const { return style; }
    bool getTextTransparency() const { return textTransparency; }

  protected:
    // The drawing every display shares: background (or substitute), border, then the text.
    void drawText(CDrawContext* context, const char* text, CBitmap* substitute = nullptr);

    StringConvert stringConvert = nullptr;
    StringConvertWithData stringConvert2 = nullptr;
    void* userData = nullptr;
    CHoriTxtAlign horiTxtAlign = kCenterText;
    long style;
    CFont fontID = kNormalFont;
    CTxtFace txtFace = kNormalFace;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    bool textTransparency = true;
};

class CTextLabel : public CParamDisplay {
  public:
    CTextLabel(const CRect& size, const char* text = nullptr, CBitmap* background = nullptr,
               const long style = 0);
    ~CTextLabel() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    // Keeps a copy of the text; null clears it.
    virtual void setText(const char* value);
    virtual const char* getText() const { return text; }

  protected:
    char* text = nullptr;
};

}  // namespace tanuvo::gui
