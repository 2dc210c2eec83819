// TDialogoExportaIcono: File > Export Icon... The icon of the window's script at each
// chosen size (what it takes from the window: Fuente_icono.h), side by side on a checkerboard, as it will be
// written: transparent (or on a chosen colour), antialiased and framed, seen from the preview's direction.
// The pictures follow the script and the view while the dialog is open. They are saved as an icon file (every
// chosen size), a PNG file (the largest chosen size), a macOS icon file (the chosen sizes it has types for,
// with their @2x pictures) or an icon-theme folder (with its @2 folders when asked); a platform's preset may
// stand for the chosen sizes. The chosen sizes, the preset, the background and the last folder are kept in
// the settings file.
#pragma once

#include "render/Destino_icono.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class TDialogosEditor;
class TFuenteIcono;

class TDialogoExportaIcono : public QDialog {
    Q_OBJECT
public:
    TDialogoExportaIcono(TFuenteIcono& fuente, TDialogosEditor& dialogos, QWidget* padre = nullptr);

    // Draws the pictures again when the script, the view or the choices have changed
    // since the last time.
    void Refresca();
    // The options of the choices made: sizes, background, the preview's direction.
    TOpcionesIcono Opciones() const;
    // Writes the icon where the user says; false when cancelled or failed (the user
    // has been told why).
    bool GuardaICO();
    bool GuardaPNG();
    bool GuardaICNS();
    bool GuardaTema();

    // --- controls ---
    std::array<QCheckBox*, ladosIcono.size()> casillas{};
    std::array<QLabel*, ladosIcono.size()> vistas{};
    QRadioButton* transparente = nullptr;
    QRadioButton* conColor = nullptr;
    QPushButton* botonColor = nullptr;
    QLineEdit* nombreTema = nullptr;
    QComboBox* preset = nullptr; // first the chosen sizes, then each of PresetsIcono()
    QCheckBox* dobles = nullptr; // a theme's @2 folders
    QPushButton* botonICO = nullptr;
    QPushButton* botonPNG = nullptr;
    QPushButton* botonICNS = nullptr;
    QPushButton* botonTema = nullptr;
    QLabel* estado = nullptr;

    // The pictures shown, one per chosen size.
    TImagenesIcono imagenes;
    QColor colorFondo = Qt::white;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    // The icon of the scene, at `opciones`.
    TResultado<TImagenesIcono> Dibuja(std::shared_ptr<const TObjeto3D> escena,
                                      const TOpcionesIcono& opciones) const;
    // The preset chosen instead of the sizes; null for the chosen sizes.
    const TPresetIcono* PresetElegido() const;
    // The sizes a save draws: the preset's or the chosen ones.
    std::vector<int> LadosGuardados() const;
    // Draws the pictures at `lados` and the background asked and writes them to `destino`.
    TResultado<void> Guarda(TDestinoIcono destino, const std::vector<int>& lados);
    // Whether it was saved; a failure is shown in a message box.
    bool Avisa(const TResultado<void>& guardado) const;
    // Asks for a file name and writes the icon file, PNG file or macOS icon file there.
    bool GuardaFichero(TFormatoIcono formato, const std::vector<int>& lados);
    void Muestra();
    void CambiaEleccion();
    void EligeColor();
    void GuardaAjustes() const;
    void LeeAjustes();
    // The script's name without folder and extension ("icon" for a new one).
    QString NombreBase() const;
    QString Carpeta() const;
    void RecuerdaCarpeta(const QString& fichero);
    // What the pictures are drawn from: the scene (by its number) and the choices, the
    // camera's zoom and pan only when they are not framed anew.
    struct THuella {
        uint64_t escena = 0;
        TOpcionesIcono opciones;
        bool operator==(const THuella&) const = default;
    };
    static THuella Huella(const TObjeto3D& escena, TOpcionesIcono opciones);

    TFuenteIcono& fuente;
    TDialogosEditor& dialogos;
    QTimer* temporizador = nullptr;
    std::optional<THuella> huellaMostrada;
    QString carpeta;
};

// The folder that the icon-theme chooser starts in: the user's own hicolor theme.
QString CarpetaTemaUsuario();
