% Reads back small idx files written here, plain and gzip-compressed, and
% refuses files of the wrong kind or cut short.

%!function write_idx (file, magic, sizes, bytes)
%!  fid = fopen (file, "w", "ieee-be");
%!  fwrite (fid, [magic, sizes], "uint32");
%!  fwrite (fid, bytes, "uint8");
%!  fclose (fid);
%!endfunction

%!shared folder, images, plain
%! folder = tempname ();
%! mkdir (folder);
%! % Image j holds 10*j plus the pixel's row-major position, so a transposed
%! % or shifted read shows.
%! images = uint8 (10 * (1:4) + (0:5)');
%! plain = fullfile (folder, "images-idx3-ubyte");
%! write_idx (plain, 2051, [4, 2, 3], images(:));

%!test
%! compressed = gzip (plain);
%! for file = {plain, compressed{1}}
%!   [read, rows, cols] = read_idx_images (file{1});
%!   assert (read, images);
%!   assert ([rows, cols], [2, 3]);
%!   assert (reshape (read(:, 2), cols, rows)', uint8 ([20, 21, 22; 23, 24, 25]));
%!   assert (read_idx_images (file{1}, 2), images(:, 1:2));
%!   assert (read_idx_images (file{1}, 10), images);
%! end

%!test
%! labels = fullfile (folder, "labels-idx1-ubyte");
%! write_idx (labels, 2049, 4, uint8 (1:4));
%! fail ("read_idx_images (labels)", "not an idx3-ubyte image file");

%!test
%! short = fullfile (folder, "short-idx3-ubyte");
%! write_idx (short, 2051, [4, 2, 3], images(1:end-1));
%! fail ("read_idx_images (short)", "ends before its 4 images");

%!error id=read_idx_images:open read_idx_images (fullfile (folder, "missing"))

%!test
%! confirm_recursive_rmdir (false, "local");
%! rmdir (folder, "s");
