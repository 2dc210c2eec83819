#include "support/Resultado.h"
#include "support/Throw_qor.h"
#include "support/Vectores_dg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TResultado<std::unique_ptr<int>> Cuenta(int n) {
    if (n < 0) return TFallo{TCausa::entrada, "Error: a negative count"};
    return std::make_unique<int>(n);
}

TResultado<void> Comprueba(int n) {
    if (n > 9) return TFallo{TCausa::limite, DString("more than 9")};
    return {};
}

} // namespace

TEST(Resultado, CarriesTheValueOrTheMessageAndCauseUnchanged) {
    auto bien = Cuenta(3);
    ASSERT_TRUE(bien);
    EXPECT_EQ(**bien, 3);
    std::unique_ptr<int> tomado = std::move(bien).Valor(); // a value that only moves
    EXPECT_EQ(*tomado, 3);

    const auto mal = Cuenta(-1);
    ASSERT_FALSE(mal);
    EXPECT_STREQ(mal.Mensaje().c_str(), "Error: a negative count");
    EXPECT_EQ(mal.Causa(), TCausa::entrada);

    EXPECT_TRUE(Comprueba(1));
    const auto limite = Comprueba(10);
    EXPECT_EQ(limite.Causa(), TCausa::limite);
    EXPECT_STREQ(MensajeDe(limite).c_str(), "more than 9");
    EXPECT_STREQ(MensajeDe(Comprueba(1)).c_str(), "");
}

// A failure thrown and caught as the base keeps its text and cause, whichever class
// threw it, and goes back into a result.
TEST(Resultado, EveryExceptionIsOneBaseWithItsCause) {
    const auto captura = [](auto lanza) -> TFallo {
        try {
            lanza();
        } catch (const TXPictomolder& e) {
            return e.Fallo();
        }
        return {};
    };
    TFallo f = captura([] { Comprueba(10).Lanza(); });
    EXPECT_STREQ(f.mensaje.c_str(), "more than 9");
    EXPECT_EQ(f.causa, TCausa::limite);
    f = captura([] { LanzaTexto("Error en TFicheroQOR::Abre"); });
    EXPECT_STREQ(f.mensaje.c_str(), "Error en TFicheroQOR::Abre");
    EXPECT_EQ(f.causa, TCausa::interna);
    f = captura([] { throw TXErrorVectoresDG(errVectorMemoria); });
    EXPECT_STREQ(f.mensaje.c_str(), "TXErrorVectoresDG");
    EXPECT_EQ(f.causa, TCausa::limite);
    f = captura([] { Cuenta(-2).ValorOLanza(); });
    EXPECT_EQ(f.causa, TCausa::entrada);

    const TResultado<int> devuelto(f);
    EXPECT_STREQ(devuelto.Mensaje().c_str(), "Error: a negative count");
}
