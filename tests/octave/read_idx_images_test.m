function read_idx_images_test()
% Reads back small idx files written here, plain and gzip-compressed, and
% refuses files of the wrong kind or cut short.
  folder = tempname();
  mkdir(folder);
  cleanup = onCleanup(@() remove_folder(folder));

  rows = 2;
  cols = 3;
  % Image j holds 10*j + the pixel's row-major position, so a transposed
  % or shifted read shows.
  images = uint8(10 * (1:4) + (0:rows * cols - 1)');
  plain = fullfile(folder, 'images-idx3-ubyte');
  write_idx(plain, 2051, [4, rows, cols], images(:));
  compressed = gzip(plain);

  for file = {plain, compressed{1}}
    [read, r, c] = read_idx_images(file{1});
    assert(isequal(read, images) && r == rows && c == cols);
    assert(isequal(reshape(read(:, 2), c, r)', uint8([20, 21, 22; 23, 24, 25])));
    assert(isequal(read_idx_images(file{1}, 2), images(:, 1:2)));
    assert(isequal(read_idx_images(file{1}, 10), images));
  end

  labels = fullfile(folder, 'labels-idx1-ubyte');
  write_idx(labels, 2049, 4, uint8(1:4));
  short = fullfile(folder, 'short-idx3-ubyte');
  write_idx(short, 2051, [4, rows, cols], images(1:end-1));
  expect_error(@() read_idx_images(labels), 'read_idx_images:format');
  expect_error(@() read_idx_images(short), 'read_idx_images:format');
  expect_error(@() read_idx_images(fullfile(folder, 'missing')), 'read_idx_images:open');
end

function write_idx(file, magic, sizes, bytes)
  fid = fopen(file, 'w', 'ieee-be');
  fwrite(fid, [magic, sizes], 'uint32');
  fwrite(fid, bytes, 'uint8');
  fclose(fid);
end

function expect_error(call, identifier)
  try
    call();
  catch failure
    assert(strcmp(failure.identifier, identifier), 'expected %s, got %s: %s', ...
           identifier, failure.identifier, failure.message);
    return;
  end
  error('read_idx_images_test:noError', 'expected the error %s', identifier);
end

function remove_folder(folder)
  confirm_recursive_rmdir(false);
  rmdir(folder, 's');
end
