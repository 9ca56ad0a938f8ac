"""Writes FITS files with astropy, each with the values astropy reads back.

For every case NAME this writes NAME.fits and NAME.f64: the image's values as
astropy scales them (BZERO/BSCALE applied), little-endian float64, in file
order (row after row, first row first).
"""
import os
import sys

import numpy as np
from astropy.io import fits

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
rng = np.random.default_rng(20261211)


def write(name, hdu):
    path = os.path.join(out, name + ".fits")
    hdu.writeto(path, overwrite=True)
    with fits.open(path) as f:
        values = np.asarray(f[0].data, dtype=np.float64)
    values.astype("<f8").tofile(os.path.join(out, name + ".f64"))


# Unsigned 16-bit, stored as signed + BZERO 32768. The values stay within
# 32767 of each other so that the outlier guard never applies.
write("uint16_bzero", fits.PrimaryHDU(rng.integers(30000, 60000, size=(23, 37)).astype(np.uint16)))
# Plain signed 16-bit with BSCALE and BZERO written by hand.
scaled = fits.PrimaryHDU(rng.integers(-3000, 3000, size=(19, 11)).astype(np.int16))
scaled.header["BSCALE"] = 0.5
scaled.header["BZERO"] = 100.0
write("int16_scaled", scaled)
# 32-bit float with a spread of magnitudes.
write("float32", fits.PrimaryHDU((rng.normal(1000, 250, size=(17, 29))).astype(np.float32)))
# 8-bit.
write("uint8", fits.PrimaryHDU(rng.integers(0, 256, size=(13, 21)).astype(np.uint8)))
