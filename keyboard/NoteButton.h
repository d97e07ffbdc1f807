// One key of the pictured keyboard: a small window that shows the key's off or on picture,
// shrunk, and a "NO IMAGE" box where the picture file is missing.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class CNoteButton : public QWidget
{
    Q_OBJECT

  public:
    explicit CNoteButton(QWidget* pParent);

    // Loads the picture m_strCurrent names and records its size (0 x 0 when it cannot).
    void LoadPicture();
    // 1 shows the on picture, 0 the off picture; any other value keeps the last one drawn.
    void SetState(uint8_t nState);

    uint8_t m_nState = 0;
    bool m_bScaled = false;
    float m_fScale = 1.0f;
    QString m_strCurrent;
    QString m_strOn;
    QString m_strOff;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
