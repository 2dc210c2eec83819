-- Neovim's own LSP client attached to pictomolder-lsp on a script with an error: the
-- diagnostics it receives are the ones it shows. Run headless:
--   PM_LSP=server PM_SCRIPT=file.3di nvim --headless --clean -c "luafile Cliente_nvim.lua"
-- Ends Neovim with status 0 when the diagnostic arrived as expected, 1 otherwise.
local function termina(correcto, texto)
  io.stderr:write(texto .. '\n')
  vim.cmd(correcto and 'qall!' or 'cquit 1')
end

local fichero = vim.fn.tempname() .. '.3di'
local f = assert(io.open(fichero, 'w'))
f:write('COLOR=(200,30,30)\nSPHERE=[0,0,0]:2\nCUBO=[0,0,0]:1:0\n')
f:close()
vim.cmd('edit ' .. vim.fn.fnameescape(fichero))
local cliente = vim.lsp.start_client({
  name = 'pictomolder',
  cmd = { os.getenv('PM_LSP') },
  root_dir = vim.fn.expand('%:p:h'),
})
if not cliente then return termina(false, 'the server did not start') end
vim.lsp.buf_attach_client(0, cliente)

local llegaron = vim.wait(20000, function() return #vim.diagnostic.get(0) > 0 end, 20)
local lista = vim.diagnostic.get(0)
if not llegaron then return termina(false, 'no diagnostics arrived') end
local d = lista[1]
local visto = string.format('%d diagnostic(s); line %d, columns %d-%d: %s', #lista, d.lnum, d.col, d.end_col, d.message)
termina(#lista == 1 and d.lnum == 2 and d.col == 0 and d.end_col == 4 and d.message == 'Undefined command:CUBO', visto)
