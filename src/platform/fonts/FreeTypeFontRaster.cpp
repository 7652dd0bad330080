// placeholder so the library builds until the raster lands
