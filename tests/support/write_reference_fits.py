"""Writes FITS files with astropy in every sample format our readers take,
each with the values astropy reads back.

For every case NAME this writes NAME.fits and NAME.f64: the image's values as
astropy scales them (BZERO/BSCALE applied), little-endian float64, in file
order (plane after plane, row after row, first row first). Blank float
samples stay NaN here; our readers count them as 0.
"""
import os
import sys

import numpy as np
from astropy.io import fits

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
rng = np.random.default_rng(20261212)


def write(name, hdu):
    path = os.path.join(out, name + ".fits")
    hdu.writeto(path, overwrite=True)
    with fits.open(path) as f:
        values = np.asarray(f[0].data, dtype=np.float64)
    values.astype("<f8").tofile(os.path.join(out, name + ".f64"))


# The value ranges keep clear of the reader's outlier guards: 16-bit values
# stay within 32767 of the first, 32-bit sums of two values below 2^32 - 1.
write("uint8", fits.PrimaryHDU(rng.integers(0, 256, size=(23, 37)).astype(np.uint8)))
write("int16", fits.PrimaryHDU(rng.integers(0, 30000, size=(19, 31)).astype(np.int16)))
write("uint16_bzero", fits.PrimaryHDU(rng.integers(30000, 60000, size=(17, 29)).astype(np.uint16)))
scaled = fits.PrimaryHDU(rng.integers(-3000, 3000, size=(13, 11)).astype(np.int16))
scaled.header["BSCALE"] = 0.5
scaled.header["BZERO"] = 100.0
write("int16_scaled", scaled)
write("int32", fits.PrimaryHDU(rng.integers(0, 2_000_000_000, size=(11, 15)).astype(np.int32)))
write("uint32_bzero", fits.PrimaryHDU(rng.integers(1_000_000, 2_000_000_000, size=(9, 14)).astype(np.uint32)))
blank = rng.normal(1000, 250, size=(21, 33)).astype(np.float32)
blank[0, :5] = np.nan  # blank pixels first, as at the edge of a mosaic
write("float32_blank", fits.PrimaryHDU(blank))
write("rgb_uint8", fits.PrimaryHDU(rng.integers(0, 256, size=(3, 12, 20)).astype(np.uint8)))
write("rgb_float32", fits.PrimaryHDU(rng.normal(0, 1, size=(3, 10, 16)).astype(np.float32)))
