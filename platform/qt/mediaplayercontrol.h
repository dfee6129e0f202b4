// An invisible media player control of a window, found by its name like any other control.
#pragma once

#include <QObject>

#include "platform/audio/mediaplayer.h"

namespace wf {

class MediaPlayerControl : public QObject {
    Q_OBJECT
  public:
    MediaPlayerControl(const QString& name, QObject* parent) : QObject(parent) {
        setObjectName(name);
    }
    // Sound starts only when something is opened, not when the window is made.
    MediaPlayer& player() { return m_player; }

  private:
    MediaPlayer m_player;
};

}  // namespace wf
