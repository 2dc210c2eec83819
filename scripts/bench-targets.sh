#!/usr/bin/env bash
# Runs the benchmark cases that have a target (bench/objetivos.txt), three repetitions
# each, and prints one table: program, case, figure (the median; a ratio taken within the
# same run), target, met. Exits 1 when a target is not met or could not be measured.
#   scripts/bench-targets.sh [--only PROGRAM]... [--build DIR] [--keep DIR]
# --only runs one program's cases (repeat it for several); --build takes the programs from
# DIR/bin (default build/); --keep leaves the programs' JSON and console output in DIR.
set -euo pipefail
cd "$(dirname "$0")/.."

objetivos=bench/objetivos.txt
build=build
solo=()
guarda=""
while [ $# -gt 0 ]; do
  case "$1" in
    --only) solo+=("$2"); shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --keep) guarda="$2"; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) echo "bench-targets: unknown argument $1" >&2; exit 2 ;;
  esac
done

if [ -n "$guarda" ]; then
  mkdir -p "$guarda"
  salida="$guarda"
else
  salida="$(mktemp -d)"
  trap 'rm -rf "$salida"' EXIT
fi

# The programs of the table, in its order, each once.
mapfile -t programas < <(awk '!/^#/ && NF >= 4 && !visto[$1]++ { print $1 }' "$objetivos")
if [ ${#solo[@]} -gt 0 ]; then
  for p in "${solo[@]}"; do
    printf '%s\n' "${programas[@]}" | grep -qx "$p" || { echo "bench-targets: no targets for $p" >&2; exit 2; }
  done
  programas=("${solo[@]}")
fi

for p in "${programas[@]}"; do
  binario="$build/bin/$p"
  if [ ! -x "$binario" ]; then
    echo "bench-targets: $binario is not built" >&2
    continue
  fi
  # Only the cases the table names, and the cases their ratios are taken against.
  filtro="^($(awk -v p="$p" '!/^#/ && $1 == p {
      print $2; if ($3 ~ /^ratio:/) print substr($3, 7); if ($3 ~ /^over:/) print substr($3, 6) }' "$objetivos" |
    sort -u | sed 's/[][().*+?^$|\\]/\\&/g' | paste -sd '|'))(/|\$)"
  lanza=("$binario")
  [ "$p" = pm_bench_editor ] && [ -z "${DISPLAY:-}" ] && lanza=(xvfb-run -a "$binario")
  echo "bench-targets: running $p" >&2
  "${lanza[@]}" --benchmark_filter="$filtro" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$salida/$p.json" --benchmark_out_format=json >"$salida/$p.txt" 2>&1 ||
    echo "bench-targets: $p failed (see its output with --keep DIR)" >&2
done

python3 - "$objetivos" "$salida" "${programas[@]}" <<'EOF'
import json, os, re, sys

objetivos, salida, programas = sys.argv[1], sys.argv[2], sys.argv[3:]
sufijos = re.compile(r"/(real_time|process_time|manual_time|(iterations|repeats|threads|min_time|min_warmup_time):[^/]*)(?=/|$)")
a_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

def medianas(programa):
    """The median of each case of a program's run, by its name without suffixes."""
    try:
        with open(os.path.join(salida, programa + ".json")) as f:
            datos = json.load(f)
    except (OSError, ValueError):
        return {}
    casos = {}
    for b in datos.get("benchmarks", []):
        if b.get("aggregate_name") != "median" or b.get("error_occurred"):
            continue
        casos[sufijos.sub("", b["run_name"])] = b
    return casos

def mide(caso, medida, casos):
    b = casos.get(caso)
    if b is None:
        return None
    escala = a_ms.get(b.get("time_unit", "ns"), 1.0)
    if medida == "time":
        return b["real_time"] * escala
    if medida == "cpu":
        return b["cpu_time"] * escala
    if medida.startswith("counter:"):
        return b.get(medida[8:])
    if medida.startswith("ratio:"):
        r = casos.get(medida[6:])
        if r is None or r["real_time"] == 0:
            return None
        return b["real_time"] * escala / (r["real_time"] * a_ms.get(r.get("time_unit", "ns"), 1.0))
    if medida.startswith("over:"):
        r = casos.get(medida[5:])
        if r is None:
            return None
        return b["real_time"] * escala - r["real_time"] * a_ms.get(r.get("time_unit", "ns"), 1.0)
    raise SystemExit("bench-targets: unknown measure " + medida)

def cifra(valor, unidad):
    if valor is None:
        return "not measured"
    if unidad == "x":
        return f"{valor:.2f}x"
    if valor >= 100:
        return f"{valor:.0f} {unidad}"
    return f"{valor:.3g} {unidad}"

filas, fallos = [], 0
cache = {}
for linea in open(objetivos):
    campos = linea.split()
    if not campos or campos[0].startswith("#") or campos[0] not in programas:
        continue
    programa, caso, medida, limite = campos[:4]
    numero, unidad = re.match(r"([0-9.]+)(.*)", limite).groups()
    casos = cache.setdefault(programa, medianas(programa))
    valor = mide(caso, medida, casos)
    cumplido = valor is not None and valor <= float(numero)
    fallos += not cumplido
    que = caso + (" / " + medida[6:] if medida.startswith("ratio:") else "")
    if medida.startswith("over:"):
        que += " over " + medida[5:]
    if medida.startswith("counter:"):
        que += " " + medida[8:]
    elif medida == "cpu":
        que += " CPU"
    filas.append((programa, que, cifra(valor, unidad), "≤ " + numero + ("x" if unidad == "x" else " " + unidad),
                  "met" if cumplido else "NOT MET"))

print(f"Medians of 3 repetitions, {os.cpu_count()} cores:\n")
print("| program | case | figure | target | |")
print("|---|---|---|---|---|")
for f in filas:
    print("| `{}` | `{}` | {} | {} | {} |".format(*f))
print(f"\n{len(filas) - fallos} of {len(filas)} targets met")
sys.exit(1 if fallos else 0)
EOF
