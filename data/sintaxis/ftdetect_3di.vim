" Pictomolder's 3DI icon scripts (*.3di, in any case).
autocmd BufRead,BufNewFile *.3[dD][iI] setfiletype 3di
