function make_data(folder, set)
% MAKE_DATA  Writes one benchmark problem and its start into FOLDER.
%
%   make_data(folder, 'fashion')  Fashion-MNIST test images, 10000-by-784,
%                                 pixels scaled to [0, 1], rank 20
%   make_data(folder, 'sparse')   sparse_problem(20000, 5000, 20, 0.01, 1)
%
%   Files, every number little-endian, every matrix in column order:
%     shape.txt            m n k nnz (nnz = 0 for a full A)
%     A.f64                a full A, m*n doubles
%     rows.i32, cols.i32,  a sparse A as nnz zero-based positions and
%     vals.f64             values
%     W0.f64, H0.f64       the start: m-by-k and k-by-n, uniform with
%                          seed 0, scaled so that W0*H0 has the mean of A
  k = 20;
  switch set
    case 'fashion'
      file = '/usr/share/datasets/fashion-mnist/t10k-images-idx3-ubyte.gz';
      A = double(read_idx_images(file))' / 255;
    case 'sparse'
      A = sparse_problem(20000, 5000, k, 0.01, 1);
    otherwise
      error('make_data: unknown set %s', set);
  end
  [m, n] = size(A);
  if ~exist(folder, 'dir')
    mkdir(folder);
  end
  if issparse(A)
    [i, j, v] = find(A);
    write_binary(fullfile(folder, 'rows.i32'), i - 1, 'int32');
    write_binary(fullfile(folder, 'cols.i32'), j - 1, 'int32');
    write_binary(fullfile(folder, 'vals.f64'), v, 'double');
    count = numel(v);
  else
    write_binary(fullfile(folder, 'A.f64'), A, 'double');
    count = 0;
  end
  rng(0);
  W0 = rand(m, k);
  H0 = rand(k, n);
  scale = sqrt(full(sum(A(:))) / (m * n) / (k / 4));
  write_binary(fullfile(folder, 'W0.f64'), scale * W0, 'double');
  write_binary(fullfile(folder, 'H0.f64'), scale * H0, 'double');
  fid = fopen(fullfile(folder, 'shape.txt'), 'w');
  fprintf(fid, '%d %d %d %d\n', m, n, k, count);
  fclose(fid);
end

function write_binary(file, X, precision)
  fid = fopen(file, 'w', 'ieee-le');
  fwrite(fid, X, precision);
  fclose(fid);
end
