// What the Export Icon dialog takes from the window it exports from: the scene of the
// script as it stands, the camera of the preview, the script's file, and a call at every
// change of them.
#pragma once

#include "render/Camara.h"
#include "script/Objetos_3d.h"

#include <QString>

#include <functional>
#include <memory>

class TFuenteIcono {
public:
    virtual ~TFuenteIcono() = default;
    // The scene of the script as it stands now (keys typed and not yet read are read).
    virtual std::shared_ptr<const TObjeto3D> EscenaIcono() = 0;
    // The direction the icon is seen from: the preview's.
    virtual TCamara CamaraIcono() const = 0;
    // The script's file (empty for a script never saved): the icon's name and folder.
    virtual QString FicheroIcono() const = 0;
    // `aviso` is called after every change of the scene or of the camera.
    virtual void AvisaCambios(std::function<void()> aviso) = 0;
};
