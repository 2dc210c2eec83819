#!/usr/bin/env python3
"""pictomolder-lsp driven through JSON-RPC as an editor drives it.

Usage: Prueba_protocolo_lsp.py SERVER EXAMPLES_FOLDER
"""
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import unittest

SERVIDOR, EJEMPLOS = sys.argv[1], sys.argv[2]

# Line 1 is an unknown command (its last letter takes two UTF-16 units), line 3 has a bad
# colour, line 5 a TEXTURET whose image is missing.
CON_ERRORES = (
    "#define R=1.5\n"
    "QAUD\U0001F600=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n"
    "SPHERE=[0,0,0]:R ; a ball of radius R\n"
    "COLOR=(1,2) ; é\n"
    "CYLINDER=[0,0,0]:[0,0,R]:R\n"
    "TEXTURET=missing.bmp\n"
)
CORREGIDO = (
    "#define R=1.5\n"
    "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n"
    "SPHERE=[0,0,0]:R ; a ball of radius R\n"
    "COLOR=(1,2,3)\n"
    "CYLINDER=[0,0,0]:[0,0,R]:R\n"
    "TEXTURET=wood.bmp\n"
    "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n"
)


class Cliente:
    def __init__(self):
        self.proceso = subprocess.Popen([SERVIDOR], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.bufer = b""
        self.siguiente = 0
        self.avisos = []

    def crudo(self, datos):
        self.proceso.stdin.write(datos)
        self.proceso.stdin.flush()

    def envia(self, mensaje):
        cuerpo = json.dumps(mensaje).encode()
        self.crudo(b"Content-Length: %d\r\n\r\n" % len(cuerpo) + cuerpo)

    def _bytes(self, n):
        while len(self.bufer) < n:
            listo, _, _ = select.select([self.proceso.stdout], [], [], 20)
            if not listo:
                raise TimeoutError("the server does not answer")
            trozo = os.read(self.proceso.stdout.fileno(), 65536)
            if not trozo:
                raise EOFError("the server closed its output")
            self.bufer += trozo

    def lee(self):
        while b"\r\n\r\n" not in self.bufer:
            self._bytes(len(self.bufer) + 1)
        cabecera, self.bufer = self.bufer.split(b"\r\n\r\n", 1)
        largo = int(cabecera.split(b":")[1])
        self._bytes(largo)
        cuerpo, self.bufer = self.bufer[:largo], self.bufer[largo:]
        return json.loads(cuerpo)

    def respuesta(self, ident):
        while True:
            m = self.lee()
            if m.get("id") == ident and "method" not in m:
                return m
            self.avisos.append(m)

    def pide(self, metodo, parametros):
        self.siguiente += 1
        self.envia({"jsonrpc": "2.0", "id": self.siguiente, "method": metodo, "params": parametros})
        return self.respuesta(self.siguiente)

    def avisa(self, metodo, parametros):
        self.envia({"jsonrpc": "2.0", "method": metodo, "params": parametros})

    def diagnosticos(self):
        while True:
            m = self.avisos.pop(0) if self.avisos else self.lee()
            if m.get("method") == "textDocument/publishDiagnostics":
                return m["params"]["diagnostics"]


class ProtocoloLsp(unittest.TestCase):
    def setUp(self):
        self.carpeta = tempfile.mkdtemp()
        shutil.copy(os.path.join(EJEMPLOS, "wood.bmp"), self.carpeta)
        with open(os.path.join(self.carpeta, "broken.png"), "wb") as f:
            f.write(b"not a png")
        os.mkdir(os.path.join(self.carpeta, "pictures"))
        self.uri = "file://" + os.path.join(self.carpeta, "script.3di")
        self.c = Cliente()
        r = self.c.pide("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
        capacidades = r["result"]["capabilities"]
        self.assertEqual(capacidades["textDocumentSync"]["change"], 2)
        self.c.avisa("initialized", {})

    def tearDown(self):
        self.assertIsNone(self.c.pide("shutdown", None)["result"])
        self.c.avisa("exit", None)
        self.assertEqual(self.c.proceso.wait(10), 0)
        shutil.rmtree(self.carpeta)

    def abre(self, texto):
        self.c.avisa("textDocument/didOpen", {"textDocument": {
            "uri": self.uri, "languageId": "3di", "version": 1, "text": texto}})
        return self.c.diagnosticos()

    def en(self, metodo, linea, columna, **extra):
        parametros = {"textDocument": {"uri": self.uri}, "position": {"line": linea, "character": columna}}
        parametros.update(extra)
        return self.c.pide(metodo, parametros)["result"]

    def test_diagnostics_then_fixed_by_changes(self):
        d = self.abre(CON_ERRORES)
        lugares = [(e["range"]["start"]["line"], e["range"]["start"]["character"],
                    e["range"]["end"]["character"]) for e in d]
        # The command word of line 1; the colour's fields of line 3, after "COLOR=".
        self.assertEqual(lugares, [(1, 0, 6), (3, 6, 11)])
        self.assertEqual(d[0]["message"], "Undefined command:QAUD\U0001F600")
        self.assertEqual(d[1]["severity"], 1)
        # A range change fixes the command word; the colour is still wrong.
        self.c.avisa("textDocument/didChange", {"textDocument": {"uri": self.uri, "version": 2}, "contentChanges": [
            {"range": {"start": {"line": 1, "character": 0}, "end": {"line": 1, "character": 6}}, "text": "QUAD"}]})
        d = self.c.diagnosticos()
        self.assertEqual([e["range"]["start"]["line"] for e in d], [3])
        # Past the colour the read reaches the missing image.
        self.c.avisa("textDocument/didChange", {"textDocument": {"uri": self.uri, "version": 3}, "contentChanges": [
            {"range": {"start": {"line": 3, "character": 10}, "end": {"line": 3, "character": 15}}, "text": ",3)"}]})
        d = self.c.diagnosticos()
        self.assertEqual([(e["range"]["start"]["line"], e["range"]["start"]["character"]) for e in d], [(5, 9)])
        self.c.avisa("textDocument/didChange", {"textDocument": {"uri": self.uri, "version": 4},
                                                 "contentChanges": [{"text": CORREGIDO}]})
        self.assertEqual(self.c.diagnosticos(), [])

    def test_hover(self):
        self.abre(CORREGIDO.replace("wood.bmp", "wood.bmp\nTEXTURET=broken.png"))
        comando = self.en("textDocument/hover", 2, 2)["contents"]["value"]
        self.assertIn("SPHERE=centre:radius", comando)
        self.assertIn("| field |", comando)
        self.assertNotIn("```3di", comando)
        self.assertIn("#define R=1.5", self.en("textDocument/hover", 2, 15)["contents"]["value"])
        self.assertIn("64 x 64", self.en("textDocument/hover", 5, 12)["contents"]["value"])
        self.assertIn("broken.png", self.en("textDocument/hover", 6, 12)["contents"]["value"])
        self.assertIsNone(self.en("textDocument/hover", 2, 30))  # in the comment

    def test_completion(self):
        self.abre(CORREGIDO + "\nTEXTURET=\nCONE=[0,0,0]:[0,0,1]:")
        etiquetas = {i["label"]: i for i in self.en("textDocument/completion", 7, 0)}
        self.assertIn("XTRUSION", etiquetas)
        self.assertIn("#define", etiquetas)
        self.assertEqual(etiquetas["CONE"]["insertText"], "CONE=${1:start}:${2:end}:${3:radius1}:${4:radius2}")
        formula = {i["label"] for i in self.en("textDocument/completion", 9, 21)}
        self.assertTrue({"R", "cos", "sin"} <= formula)
        self.assertNotIn("QUAD", formula)
        # The define is not in force on its own line.
        self.assertNotIn("R", {i["label"] for i in self.en("textDocument/completion", 0, 12)})
        ficheros = {i["label"] for i in self.en("textDocument/completion", 8, 9)}
        self.assertEqual(ficheros, {"wood.bmp", "broken.png", "pictures/"})

    def test_definition_references_symbols(self):
        self.abre(CORREGIDO + "#define R=9\nDISK=[0,0,0]:[0,0,1]:R ; R\n")
        definicion = self.en("textDocument/definition", 4, 25)
        self.assertEqual(definicion["range"], {"start": {"line": 0, "character": 8}, "end": {"line": 0, "character": 9}})
        usos = self.en("textDocument/references", 0, 8, context={"includeDeclaration": True})
        self.assertEqual([(u["range"]["start"]["line"], u["range"]["start"]["character"]) for u in usos],
                         [(0, 8), (2, 15), (4, 22), (4, 25), (8, 21)])
        simbolos = self.c.pide("textDocument/documentSymbol", {"textDocument": {"uri": self.uri}})["result"]
        self.assertEqual([(s["name"], s["range"]["start"]["line"]) for s in simbolos],
                         [("R", 0), ("QUAD", 1), ("SPHERE", 2), ("CYLINDER", 4), ("QUAD", 6), ("R", 7), ("DISK", 8)])

    def test_bad_messages_leave_it_serving(self):
        self.c.crudo(b"Content-Length: 9\r\n\r\n{\"broken\"")
        self.assertEqual(self.c.lee()["error"]["code"], -32700)
        # A body past 64 MB is refused as soon as its length is known, then skipped.
        largo = (64 << 20) + 1
        self.c.crudo(b"Content-Length: %d\r\n\r\n" % largo)
        self.assertEqual(self.c.lee()["error"]["code"], -32600)
        self.c.crudo(b"[" * largo)
        self.assertEqual(self.c.pide("no/such/method", {})["error"]["code"], -32601)
        self.c.envia({"jsonrpc": "2.0", "id": 77, "method": "textDocument/hover", "params": {"textDocument": 5}})
        self.assertEqual(self.c.respuesta(77)["error"]["code"], -32602)
        self.assertEqual(self.abre("CUBE=[0,0,0]:1:0\n"), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
