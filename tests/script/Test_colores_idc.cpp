// The 3D Studio reader and import, on files the tests write themselves.
#include "Carpeta_prueba.h"
#include "Escritor_3ds.h"
#include "Lee_script.h"

#include "script/Colores_idc.h"
#include "script/Objetos_3d_planos.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <utility>

using namespace prueba3ds;

namespace {

// The model read, or null with the reason in `motivo`.
std::unique_ptr<TModelo3DS> LeeMemoria(const std::string& datos, DString* motivo = nullptr) {
    auto leido = ReadModel3DS(datos.data(), modoMemoria3DS, datos.size());
    if (leido) return std::move(leido).Valor();
    if (motivo) *motivo = leido.Mensaje();
    return nullptr;
}

// The colours of every face of every mesh, in order.
std::vector<uint32_t> Colores(const std::string& datos) {
    std::vector<uint32_t> colores;
    DString motivo;
    const auto modelo = LeeMemoria(datos, &motivo);
    EXPECT_TRUE(modelo) << motivo.c_str();
    if (modelo)
        for (const TMalla3DS& m : modelo->mallas)
            for (const TCara3DS& c : m.caras)
                colores.push_back(c.color);
    return colores;
}

const std::string rojo = Material("Red", 255, 0, 0);
const std::string verde = Material("Green", 0, 255, 0);

// Two meshes of 10 and 20 faces: faces 0 and 9 red, face 19 of the second green.
const std::string dosMallas =
    Fichero(rojo + verde + Tira("Ten", 10, 0, GrupoMaterial("Red", {0, 9})) +
            Tira("Twenty", 20, 100, GrupoMaterial("Green", {19}),
                 Trozo(0x4140, U16(1) + F32(0.5f) + F32(1)) + Trozo(0x4160, std::string(48, '\x3f'))));

} // namespace

class Modelo3DS : public prueba::Carpeta {};

TEST_F(Modelo3DS, EveryFaceBecomesATriangleInFileOrder) {
    TLecturaEscena escena;
    LeeScript(escena, "CENTER=[1,2,3]\n");
    const auto cargada = escena.Carga(Escribe("two.3ds", dosMallas).c_str());
    ASSERT_TRUE(cargada) << cargada.Mensaje().c_str();
    EXPECT_TRUE(escena.Escena().giroEnY);
    EXPECT_EQ(escena.Escena().anguloGiro, -1.5707963267948966);
    EXPECT_EQ(escena.Escena().centro, vector3D());
    ASSERT_EQ(escena.Escena().Count(), 30);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const auto& t = ElementoComo<TElementoTriang3D>(escena, i);
        const auto punto = [](int k) { return vector3D(k / 2, 0, k % 2); };
        EXPECT_EQ(t.puntos, (std::vector<vector3D>{punto(i), punto(i + 1), punto(i + 2)}));
        EXPECT_EQ(t.normal, vector3D(0, i % 2 ? -1 : 1, 0));
        EXPECT_EQ(t.color, i == 0 || i == 9 ? colorRojo : colorBlanco);
        EXPECT_EQ(escena.Escena().Linea(i), -1);
    }
    const auto& ultimo = ElementoComo<TElementoTriang3D>(escena, 29);
    EXPECT_EQ(ultimo.puntos[2], vector3D(110, 0, 1));
    EXPECT_EQ(ultimo.color, colorVerde);

    // A script read afterwards is not turned as the mesh was.
    LeeScript(escena, "LINE=[0,0,0]:[1,0,0]\n");
    EXPECT_FALSE(escena.Escena().giroEnY);
    EXPECT_EQ(escena.Escena().anguloGiro, 0.0);
}

// What the faces do not show: the second mesh's texture coordinates, axis and face flags.
TEST(Materiales3DS, TheMeshKeepsItsTextureAxisAndFlags) {
    const auto modelo = LeeMemoria(dosMallas);
    ASSERT_TRUE(modelo);
    ASSERT_EQ(modelo->mallas.size(), 2u);
    const TMalla3DS& segunda = modelo->mallas[1];
    EXPECT_STREQ(segunda.nombre.data(), "Twenty");
    EXPECT_TRUE(segunda.tieneEjeLocal);
    EXPECT_EQ(segunda.coordTextura, (std::vector<std::array<float, 2>>{{0.5f, 1.0f}}));
    EXPECT_EQ(segunda.caras[3].indicadores, 7);
}

TEST(Materiales3DS, WhichMaterialsColourTheirFaces) {
    const auto conRelleno = [](int largo) { // a diffuse chunk of `largo` bytes
        return Difuso(Color24(255, 0, 0) + Trozo(0x0012, std::string(static_cast<size_t>(largo - 21), 'x')));
    };
    const std::string largo(200, 'M');
    const struct {
        const char* caso;
        std::string editor;
        uint32_t color;
    } casos[] = {
        {"a material group as the file's last chunk", rojo + Tira("A", 1, 0, GrupoMaterial("Red", {0})),
         colorRojo},
        {"the material comes after the group", Tira("A", 1, 0, GrupoMaterial("Red", {0})) + rojo,
         colorBlanco},
        {"a name in another case", rojo + Tira("A", 1, 0, GrupoMaterial("red", {0})), colorBlanco},
        {"no diffuse colour", Material("Red", "") + Tira("A", 1, 0, GrupoMaterial("Red", {0})), colorBlanco},
        {"a diffuse chunk of 49 bytes",
         Material("Red", conRelleno(49)) + Tira("A", 1, 0, GrupoMaterial("Red", {0})), colorRojo},
        {"a diffuse chunk of 50 bytes",
         Material("Red", conRelleno(50)) + Tira("A", 1, 0, GrupoMaterial("Red", {0})), colorBlanco},
        {"the first of two materials of one name",
         rojo + Material("Red", 0, 255, 0) + Tira("A", 1, 0, GrupoMaterial("Red", {0})), colorRojo},
        {"a 200-byte name", Material(largo, 0, 255, 0) + Tira("A", 1, 0, GrupoMaterial(largo, {0})),
         colorVerde},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        EXPECT_EQ(Colores(Fichero(c.editor)), std::vector<uint32_t>{c.color});
    }
}

TEST(Materiales3DS, AnObjectNameOfAnyLengthIsCutNotMisread) {
    const auto modelo = LeeMemoria(Fichero(Tira(std::string(40, 'N'), 3, 0)));
    ASSERT_TRUE(modelo && modelo->mallas.size() == 1u);
    EXPECT_EQ(std::string(modelo->mallas[0].nombre.data()), std::string(15, 'N'));
    EXPECT_EQ(modelo->mallas[0].caras.size(), 3u);
}

TEST(Fallos3DS, EveryTruncationIsRefused) {
    ASSERT_TRUE(LeeMemoria(dosMallas));
    for (size_t n = 0; n < dosMallas.size(); ++n)
        EXPECT_FALSE(ReadModel3DS(dosMallas.data(), modoMemoria3DS, n)) << n;
}

// Every file of the malformed corpus is refused with its reason, in memory mode and
// through the scene's loader alike, and the scene is left empty.
TEST_F(Modelo3DS, EveryMalformedFileIsRefusedWithItsReason) {
    const fs::path carpeta = PM_TEST_DATA "/3ds/malformed";
    std::ifstream esperados(carpeta / "expected.txt");
    int vistos = 0;
    for (std::string linea; std::getline(esperados, linea); ++vistos) {
        const std::string nombre = linea.substr(0, linea.find('|'));
        const std::string motivo = linea.substr(linea.find('|') + 1);
        const std::string ruta = (carpeta / nombre).string();
        SCOPED_TRACE(nombre);
        DString m;
        EXPECT_FALSE(LeeMemoria(prueba::LeeFichero(ruta), &m));
        EXPECT_EQ(std::string(m.c_str()), motivo);
        TLecturaEscena escena;
        LeeScript(escena, "LINE=[0,0,0]:[1,0,0]\n");
        const DString error = MensajeDe(escena.Carga(ruta.c_str()));
        EXPECT_EQ(escena.Escena().Count(), 0);
        EXPECT_EQ(std::string(error.c_str()), "Error reading the 3DS file " + ruta + ": " + motivo);
    }
    int ficheros = 0;
    for (const auto& f : fs::directory_iterator(carpeta))
        ficheros += f.path().extension() == ".3ds";
    EXPECT_GT(vistos, 20);
    EXPECT_EQ(vistos, ficheros);
}

// Mended: a FIFO named as a mesh kept the read waiting for a writer.
TEST_F(Modelo3DS, AFileThatCannotBeOpenedSaysSo) {
    ASSERT_EQ(::mkfifo(Ruta("pipe.3ds").c_str(), 0600), 0);
    for (const auto& [nombre, razon] :
         {std::pair<const char*, std::string>{"missing.3ds", "No such file or directory"},
          {"pipe.3ds", "not a regular file"}}) {
        TLecturaEscena escena;
        const DString error = MensajeDe(escena.Carga(Ruta(nombre).c_str()));
        EXPECT_EQ(std::string(error.c_str()),
                  "Error reading the 3DS file " + Ruta(nombre) + ": it cannot be opened (" + razon + ")");
    }
}

// Mended: memory grew by some 255 bytes a face without a limit (a 52 MB file took
// 1.67 GB). One import takes at most maxCaras3DS faces, all meshes together; past it the
// file is refused before its faces are kept.
TEST_F(Modelo3DS, AFileOfMoreFacesThanOneImportTakesIsRefused) {
    const auto malla = [](const std::string& nombre, size_t n) {
        return Objeto(nombre, Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) +
                                  Caras(std::vector<TTriangulo>(n, TTriangulo{0, 1, 2})));
    };
    // The limit counts the faces of every mesh: 30 faces pass a limit of 30, not of 29.
    const std::string pequeno = Fichero(malla("A", 10) + malla("B", 20));
    EXPECT_TRUE(ReadModel3DS(pequeno.data(), modoMemoria3DS, pequeno.size(), 30));
    const auto refusado = ReadModel3DS(pequeno.data(), modoMemoria3DS, pequeno.size(), 29);
    EXPECT_STREQ(MensajeDe(refusado).c_str(), "it has more than 29 faces, the most one import takes");

    const std::string ruta = Ruta("large.3ds");
    std::ofstream fichero(ruta, std::ios::binary);
    EscribeFichero(fichero, malla("Full", 65535), maxCaras3DS / 65535 + 1);
    fichero.close();
    TLecturaEscena escena;
    const DString error = MensajeDe(escena.Carga(ruta.c_str()));
    EXPECT_EQ(std::string(error.c_str()), "Error reading the 3DS file " + ruta +
                                              ": it has more than 4194304 faces, the most one import takes");
    EXPECT_EQ(escena.Escena().Count(), 0);
}
