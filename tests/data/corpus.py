"""Writes a folder of test files and its expected.txt (one "name|expected result" line a file)."""
import os


def escribe_corpus(destino, casos):
    """casos: name -> (bytes, expected). The folder is emptied first, so a dropped case goes too."""
    os.makedirs(destino, exist_ok=True)
    for nombre in os.listdir(destino):
        os.remove(os.path.join(destino, nombre))
    lineas = []
    for nombre, (datos, resultado) in sorted(casos.items()):
        with open(os.path.join(destino, nombre), "wb") as f:
            f.write(datos)
        lineas.append(f"{nombre}|{resultado}\n")
    with open(os.path.join(destino, "expected.txt"), "w") as f:
        f.writelines(lineas)
