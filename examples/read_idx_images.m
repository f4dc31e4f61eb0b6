function [images, rows, cols] = read_idx_images(file, count)
% READ_IDX_IMAGES  Read an idx3-ubyte image file, gzip-compressed or not.
%
%   [images, rows, cols] = read_idx_images(file)
%   [images, rows, cols] = read_idx_images(file, count)
%
%   images is a (rows*cols)-by-N uint8 matrix with one image per column,
%   N being the number of images in the file, or count when that is smaller.
%   The pixels of a column are in the file's row-major order, so
%   reshape(images(:, j), cols, rows)' is image j as a rows-by-cols matrix.
%   A file whose name ends in .gz is unpacked into a temporary folder first.

  if nargin < 2
    count = Inf;
  end
  if numel(file) > 3 && strcmpi(file(end-2:end), '.gz')
    folder = tempname();
    mkdir(folder);
    try
      % Octave's gunzip unpacks beside its input before moving the result,
      % and the data sets' own folder is read-only for most users.
      copyfile(file, folder);
      [~, name, extension] = fileparts(file);
      unpacked = gunzip(fullfile(folder, [name extension]), folder);
      [images, rows, cols] = read_plain(unpacked{1}, count);
    catch failure
      remove_folder(folder);
      rethrow(failure);
    end
    remove_folder(folder);
  else
    [images, rows, cols] = read_plain(file, count);
  end
end

function [images, rows, cols] = read_plain(file, count)
  [fid, message] = fopen(file, 'r', 'ieee-be');
  if fid < 0
    error('read_idx_images:open', 'cannot open %s: %s', file, message);
  end
  header = fread(fid, 4, 'uint32=>double');
  % 2051: unsigned bytes (0x08) in three dimensions (0x03).
  if numel(header) ~= 4 || header(1) ~= 2051
    fclose(fid);
    error('read_idx_images:format', '%s is not an idx3-ubyte image file', file);
  end
  rows = header(3);
  cols = header(4);
  wanted = min(header(2), count);
  pixels = fread(fid, rows * cols * wanted, 'uint8=>uint8');
  fclose(fid);
  if numel(pixels) ~= rows * cols * wanted
    error('read_idx_images:format', '%s ends before its %d images', file, wanted);
  end
  images = reshape(pixels, rows * cols, wanted);
end

function remove_folder(folder)
  entries = dir(folder);
  for i = 1:numel(entries)
    if ~entries(i).isdir
      delete(fullfile(folder, entries(i).name));
    end
  end
  rmdir(folder);
end
