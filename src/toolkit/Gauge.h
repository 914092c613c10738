#pragma once
// Contract only.
// class TGauge : public QProgressBar  -- range 0..100; draws its progress text immediately
//   followed by the value and "%": setProgressText("3/11 tasks  ") + value 27 shows
//   "3/11 tasks  27%". progressText() returns the progress text; text() the whole caption.
